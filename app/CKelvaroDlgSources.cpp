// The main window's source list: adding (through the probe queue), and the
// list's side of removing and reordering files.
#include "app/CKelvaroDlg.h"

#include "platform/Host.h"
#include "sources/ProbeQueue.h"
#include "sources/SourceList.h"
#include "sources/SourceTable.h"

#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTreeView>

namespace {

// "label|patterns|" for each kind of file the encoder reads, then "|".
QString OpenFileFilter()
{
    static const char *const kEntries[][2] = {
        {"All support files",
         "*.avi;*.divx;*.div;*.xvid;*.mpeg;*.mpg;*.wmv;*.asf;*.asx;*.dat;*.rm;*.rmvb;*.mov;*.qt;*.3gp;"
         "*.3g2;*.mp4;*.m4v;*.flv"},
        {"AVI file (*.AVI,*.DivX,*.div,*.Xvid)", "*.avi;*.divx;*.div;*.xvid"},
        {"MPEG file (*.MPEG,*.MPG,*.DAT)", "*.mpeg;*.mpg;*.dat"},
        {"WMV file (*.WMV,*.ASF,*.ASX)", "*.wmv;*.asf;*.asx"},
        {"RealMedia file (*.RM,*.RMVB)", "*.rm;*.rmvb"},
        {"QuickTime file (*.MOV,*.QT)", "*.mov;*.qt"},
        {"3GP file (*.3GP,*.3G2)", "*.3gp;*.3g2"},
        {"MP4 file (*.MP4,*.M4V)", "*.mp4;*.m4v"},
        {"Flash video file (*.FLV)", "*.flv"},
        {"All files (*.*)", "*.*"},
    };
    QString filter;
    for (const auto &entry : kEntries)
        filter += QString::fromLatin1(entry[0]) + QLatin1Char('|') + QString::fromLatin1(entry[1]) + QLatin1Char('|');
    return filter + QLatin1Char('|');
}

} // namespace

// What the list commands see of the list; a child object, so it goes with
// the window.
class CKelvaroDlg::ListWindow : public QObject, public SourceListView
{
public:
    explicit ListWindow(CKelvaroDlg &window)
        : QObject(&window)
        , m_window(window)
        , commands(*window.m_sources, *this, this)
    {
    }

    int SelectedRow() const override { return m_window.SelectedRow(); }
    void SelectRow(int row) override
    {
        const QModelIndex index = m_window.m_sources->index(row, 0);
        m_window.m_list->selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_window.m_list->scrollTo(index);
    }
    // Qt's list keeps one row selected when the current one goes.
    void ClearSelection() override { m_window.m_list->selectionModel()->clear(); }
    void FocusList() override { m_window.m_list->setFocus(); }

private:
    CKelvaroDlg &m_window;

public:
    SourceList commands;
};

void CKelvaroDlg::CreateListCommands()
{
    m_listWindow = new ListWindow(*this);
    connect(&m_listWindow->commands, &SourceList::RowRemoved, this, &CKelvaroDlg::PreviewRowRemoved);
    connect(&m_listWindow->commands, &SourceList::RowsSwapped, this, &CKelvaroDlg::PreviewRowsSwapped);
}

QString CKelvaroDlg::FileFilter()
{
    return OpenFileFilter();
}

int CKelvaroDlg::SelectedRow() const
{
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CKelvaroDlg::OnAddFiles()
{
    m_chooserOpen = true;
    const QStringList paths =
        Host::Instance().ChooseFilesToOpen(QStringLiteral("Import video files"), FileFilter());
    m_chooserOpen = false;
    if (!paths.isEmpty())
        m_probes->Add(paths, m_folder->text());
    // A message about earlier files that waited for the chooser to close.
    m_probes->ReportProblems();
}

void CKelvaroDlg::AddFiles(const QStringList &paths)
{
    m_probes->AddNamed(paths, m_folder->text());
}

void CKelvaroDlg::OnRemoveFile()
{
    m_listWindow->commands.OnRemoveFile();
}

void CKelvaroDlg::OnMoveUp()
{
    m_listWindow->commands.OnMoveUp();
}

void CKelvaroDlg::OnMoveDown()
{
    m_listWindow->commands.OnMoveDown();
}

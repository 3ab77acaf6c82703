// The main window's source list: adding (through the probe queue),
// removing and reordering files.
#include "app/CKelvaroDlg.h"

#include "platform/Host.h"
#include "sources/ProbeQueue.h"
#include "sources/SourceTable.h"

#include <QFileInfo>
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

QString CKelvaroDlg::FileFilter()
{
    return OpenFileFilter();
}

int CKelvaroDlg::SelectedRow() const
{
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CKelvaroDlg::SelectRow(int row)
{
    const QModelIndex index = m_sources->index(row, 0);
    m_list->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_list->scrollTo(index);
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
    // Names handed over on the command line may name nothing at all; the
    // person hears about them with the files the encoder could not read.
    QStringList found;
    for (const QString &path : paths) {
        if (QFileInfo(path).isFile())
            found << path;
        else
            m_probes->AddProblem(path, QStringLiteral("the file cannot be found"));
    }
    if (!found.isEmpty())
        m_probes->Add(found, m_folder->text());
    m_probes->ReportProblems();
}

void CKelvaroDlg::OnRemoveFile()
{
    const int row = SelectedRow();
    if (m_sources->RowCount() == 0 || row < 0)
        return;
    m_sources->RemoveRow(row);
    PreviewRowRemoved(row);
    if (row < m_sources->RowCount()) {
        SelectRow(row);
        m_list->setFocus();
    } else {
        // Qt's list keeps one row selected when the current one goes; after
        // the last row nothing is selected, so a second Remove removes
        // nothing by surprise.
        m_list->selectionModel()->clear();
    }
}

void CKelvaroDlg::OnMoveUp()
{
    MoveSelected(-1);
}

void CKelvaroDlg::OnMoveDown()
{
    MoveSelected(+1);
}

void CKelvaroDlg::MoveSelected(int step)
{
    if (m_sources->RowCount() < 2)
        return;
    const int row = SelectedRow();
    if (row < 0) {
        Host::Instance().MessageBox(QStringLiteral("No item was selected!"), QStringLiteral("Warning"),
                                    Host::Buttons::Ok, Host::Icon::None);
        return;
    }
    const int target = row + step;
    if (target < 0 || target >= m_sources->RowCount()) {
        m_list->setFocus();
        return;
    }
    SwapRows(row, target);
}

void CKelvaroDlg::SwapRows(int from, int to)
{
    m_sources->SwapRows(from, to);
    PreviewRowsSwapped(from, to);
    SelectRow(to);
    m_list->setFocus();
}

// The preview: the window's side of the preview machine, which decides.
#include "app/CKelvaroDlg.h"

#include "controls/CIconButton.h"
#include "controls/CNiceSliderCtrl.h"
#include "preview/CMoviePlayer.h"
#include "preview/PreviewMachine.h"
#include "res/pictures/Pictures.h"
#include "sources/SourceTable.h"

#include <QTreeView>

// What the machine sees of the window; a child object, so it goes with it.
class CKelvaroDlg::PreviewWindow : public QObject, public PreviewView
{
public:
    explicit PreviewWindow(CKelvaroDlg &window)
        : QObject(&window)
        , m_window(window)
        , machine(*window.m_preview, *this)
    {
    }

    void SetPlayPicture(Picture picture) override
    {
        m_window.m_play->SetBitmapImage(picture == Picture::Pause ? IDB_PAUSE : IDB_PLAY,
                                        QColor(kTransparentColour));
        // A screen reader says what a press would do, as the picture shows.
        m_window.m_play->setAccessibleName(picture == Picture::Pause ? QStringLiteral("Pause")
                                                                     : QStringLiteral("Play"));
    }
    void FocusList() override { m_window.m_list->setFocus(); }
    void SetSliderRange(int maximum) override
    {
        // The position set next repaints the slider once.
        const QSignalBlocker quiet(m_window.m_position);
        m_window.m_position->setRange(0, maximum);
    }
    void SetSliderPosition(int seconds) override { m_window.m_position->setValue(seconds); }
    int SliderPosition() const override { return m_window.m_position->value(); }
    bool SliderPressed() const override { return m_window.m_position->Pressed() == 1; }
    void ClearSliderFlags() override
    {
        m_window.m_position->SetPressed(0);
        m_window.m_position->SetDragging(false);
    }
    int SelectedRow() const override { return m_window.SelectedRow(); }
    int RowCount() const override { return m_window.m_sources->RowCount(); }
    QString Path(int row) const override { return m_window.m_sources->Path(row); }
    double Duration(int row) const override { return m_window.m_sources->Duration(row); }

private:
    CKelvaroDlg &m_window;

public:
    PreviewMachine machine;
};

void CKelvaroDlg::CreatePreview()
{
    m_previewWindow = new PreviewWindow(*this);
}

int CKelvaroDlg::PreviewStateValue() const
{
    return m_previewWindow->machine.CurrentState();
}

void CKelvaroDlg::OnPlayPause()
{
    m_previewWindow->machine.OnPlayPause();
}

void CKelvaroDlg::OnStop()
{
    m_previewWindow->machine.OnStop();
}

void CKelvaroDlg::OnPlayerStopped()
{
    m_previewWindow->machine.OnPlayerStopped();
}

void CKelvaroDlg::OnPlayerPosition(double seconds)
{
    m_previewWindow->machine.OnPlayerPosition(seconds);
}

void CKelvaroDlg::OnPositionReleased()
{
    m_previewWindow->machine.OnPositionReleased();
}

void CKelvaroDlg::OnListDoubleClick()
{
    m_previewWindow->machine.OnListDoubleClick();
}

void CKelvaroDlg::StopPreview()
{
    m_previewWindow->machine.StopPreview();
}

void CKelvaroDlg::PreviewRowRemoved(int row)
{
    m_previewWindow->machine.OnRowRemoved(row);
}

void CKelvaroDlg::PreviewRowsSwapped(int first, int second)
{
    m_previewWindow->machine.OnRowsSwapped(first, second);
}

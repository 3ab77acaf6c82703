#include "preview/PreviewMachine.h"

PreviewMachine::PreviewMachine(PreviewPlayer &player, PreviewView &view)
    : m_player(player)
    , m_view(view)
{
}

void PreviewMachine::OnPlayPause()
{
    if (m_view.RowCount() == 0)
        return;
    switch (m_state) {
    case Playing:
        m_state = Paused;
        m_view.SetPlayPicture(PreviewView::Picture::Play);
        m_player.Pause();
        break;
    case Paused:
        m_state = Playing;
        m_view.SetPlayPicture(PreviewView::Picture::Pause);
        m_player.Play();
        break;
    case Stopped: {
        // Without a selection the first row plays; the selection stays as
        // it is.
        const int selected = m_view.SelectedRow();
        StartRow(selected >= 0 ? selected : 0);
        break;
    }
    }
}

void PreviewMachine::StartRow(int row)
{
    m_state = Playing;
    m_view.SetPlayPicture(PreviewView::Picture::Pause);
    const QString path = m_view.Path(row);
    m_view.FocusList();
    m_loadedRow = row;
    // Whole seconds: a file shorter than one second gets the range 0..0.
    m_view.SetSliderRange(int(m_view.Duration(row)));
    m_view.SetSliderPosition(0);
    m_player.SetFileName(path);
    m_player.SetProperty2(0);
    m_player.Play();
}

void PreviewMachine::OnStop()
{
    if (m_state == Playing)
        m_view.SetPlayPicture(PreviewView::Picture::Play);
    m_state = Stopped;
    m_view.FocusList();
    // Also when already stopped, so that stop always resets player and slider.
    m_player.Stop();
    m_view.SetSliderPosition(0);
}

void PreviewMachine::OnPlayerStopped()
{
    m_state = Stopped;
    m_view.SetPlayPicture(PreviewView::Picture::Play);
    m_view.FocusList();
    m_player.Stop();
    m_view.SetSliderPosition(0);
}

void PreviewMachine::OnPlayerPosition(double seconds)
{
    // The thumb belongs to the user while it is held. Once stopped, a report
    // still on its way from the player must not move it off 0.
    if (m_state != Stopped && !m_view.SliderPressed())
        m_view.SetSliderPosition(int(seconds));
}

void PreviewMachine::OnPositionReleased()
{
    m_view.ClearSliderFlags();
    if (m_state == Stopped) {
        m_view.SetSliderPosition(0);
        return;
    }
    m_player.Seek(double(m_view.SliderPosition()));
    if (m_state == Paused)
        m_view.SetPlayPicture(PreviewView::Picture::Pause);
    m_player.Play();
    m_state = Playing;
}

void PreviewMachine::OnListDoubleClick()
{
    const int selected = m_view.SelectedRow();
    if (m_view.RowCount() == 0 || selected < 0)
        return;
    if (selected != m_loadedRow && m_state != Stopped) {
        // The picture and the slider are set again by the start that follows.
        m_player.Stop();
        m_state = Stopped;
    }
    OnPlayPause();
}

void PreviewMachine::StopPreview()
{
    if (m_state == Stopped)
        return;
    m_player.Stop();
    m_view.SetSliderPosition(0);
    if (m_state == Playing)
        m_view.SetPlayPicture(PreviewView::Picture::Play);
    m_state = Stopped;
}

void PreviewMachine::OnRowRemoved(int row)
{
    if (row == m_loadedRow)
        m_loadedRow = -1;  // no row shows the playing file any more
    else if (row < m_loadedRow)
        --m_loadedRow;
}

void PreviewMachine::OnRowsSwapped(int first, int second)
{
    if (m_loadedRow == first)
        m_loadedRow = second;
    else if (m_loadedRow == second)
        m_loadedRow = first;
}

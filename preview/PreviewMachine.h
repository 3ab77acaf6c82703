#pragma once

#include <QString>

// What the preview asks of the movie player. Calls are fire-and-forget: no
// result is examined. The player reports back through the machine's
// OnPlayerStopped and OnPlayerPosition, never from within one of these calls.
class PreviewPlayer
{
public:
    virtual ~PreviewPlayer() = default;
    virtual void SetFileName(const QString &path) = 0;
    virtual void SetProperty2(int value) = 0;
    virtual void Play() = 0;
    virtual void Stop() = 0;
    virtual void Pause() = 0;
    virtual void Seek(double seconds) = 0;
};

// What the preview reads and changes on the window around the player: the
// play/pause button, the list and its table, the position slider.
class PreviewView
{
public:
    enum class Picture { Play, Pause };

    virtual ~PreviewView() = default;
    virtual void SetPlayPicture(Picture picture) = 0;
    virtual void FocusList() = 0;
    // The slider's range is 0..maximum; set without redrawing, the position
    // that follows redraws it.
    virtual void SetSliderRange(int maximum) = 0;
    virtual void SetSliderPosition(int seconds) = 0;
    virtual int SliderPosition() const = 0;
    // The user holds the thumb: it must not follow the player.
    virtual bool SliderPressed() const = 0;
    // Ends the slider's drag; it is the owner's job.
    virtual void ClearSliderFlags() = 0;
    // -1 when no row is selected.
    virtual int SelectedRow() const = 0;
    virtual int RowCount() const = 0;
    virtual QString Path(int row) const = 0;
    virtual double Duration(int row) const = 0;
};

// The preview's three states and the moves between them, for the play/pause
// and stop commands, the list's double-click, the position slider and the
// player's two events. It keeps the row last loaded into the player and
// follows that file when rows are removed or moved, so a double-click always
// means the file the person sees in that row. A file may go on playing after
// its row is gone; every start from Stopped loads what the list shows.
class PreviewMachine
{
public:
    enum State { Stopped = 0, Playing = 1, Paused = 2 };

    PreviewMachine(PreviewPlayer &player, PreviewView &view);

    State CurrentState() const { return m_state; }
    int LoadedRow() const { return m_loadedRow; }

    void OnPlayPause();
    void OnStop();
    // The player stopped by itself: the end of the file, or a file it could
    // not play.
    void OnPlayerStopped();
    void OnPlayerPosition(double seconds);
    void OnPositionReleased();
    void OnListDoubleClick();
    // Stops a playing or paused preview and leaves a stopped one alone; a
    // conversion begins with it.
    void StopPreview();

    // The list changed under the loaded row: a row went away, or two rows
    // changed places.
    void OnRowRemoved(int row);
    void OnRowsSwapped(int first, int second);

private:
    void StartRow(int row);

    PreviewPlayer &m_player;
    PreviewView &m_view;
    State m_state = Stopped;
    int m_loadedRow = -1;
};

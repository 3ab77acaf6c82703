#pragma once

#include "preview/PreviewMachine.h"

#include <QWidget>

class QAudioOutput;
class QMediaPlayer;
class QVideoWidget;

// The movie player in the main window's preview area: a picture over a black
// background, fed by a media player.
//
// Property 2 is the start position in whole seconds: a start from stopped
// begins there (0, the beginning, is what the preview always sets); it does
// not touch a paused or playing file.
//
// Event 1 (PlayerStopped) reports the stops the player reaches by itself: the
// end of the file, or a file it cannot open or decode. The program's own
// Stop() is not reported back, and a report still on its way is dropped when
// Stop() or SetFileName() comes first, so that the end of one file never
// stops the next. Reports arrive from the event loop, never from within a
// call on the player. Event 2 (PlayerPosition) is the playing position; while
// a file plays on by itself it never goes back.
//
// Sound plays when the system has an audio output; without one the picture
// plays silently (a player waiting for a missing output would never start).
// The media player and its picture are made when the first file is set, so
// a window that never previews never loads the media libraries.
class CMoviePlayer : public QWidget, public PreviewPlayer
{
    Q_OBJECT

public:
    explicit CMoviePlayer(QWidget *parent = nullptr);
    ~CMoviePlayer() override;

    void SetFileName(const QString &path) override;
    void SetProperty2(int startSeconds) override;
    void Play() override;
    void Stop() override;
    void Pause() override;
    void Seek(double seconds) override;

    bool HasAudioOutput() const { return m_audio != nullptr; }

signals:
    void PlayerStopped();
    void PlayerPosition(double seconds);

private:
    void CreatePlayer();
    void UpdateAudioOutput();
    void ReportStopped();

    QMediaPlayer *m_player = nullptr;
    QVideoWidget *m_video = nullptr;
    QAudioOutput *m_audio = nullptr;
    int m_startSeconds = 0;
    bool m_failed = false;      // the current file cannot be played
    unsigned m_generation = 0;  // changes when a pending report goes stale
    qint64 m_reported = -1;     // the last position reported, milliseconds
};

#include "preview/CMoviePlayer.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>
#include <QVBoxLayout>
#include <QVideoWidget>

namespace {

void PaintBlack(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::black);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

CMoviePlayer::CMoviePlayer(QWidget *parent)
    : QWidget(parent)
{
    PaintBlack(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

CMoviePlayer::~CMoviePlayer()
{
    if (!m_player)
        return;
    // Whoever listened may be half gone by now (the window deletes its
    // children last); the stop is for the decoding threads only.
    disconnect(m_player, nullptr, this, nullptr);
    m_player->stop();
}

void CMoviePlayer::CreatePlayer()
{
    // The player first: children go in the order they came, and the player
    // should not outlive its picture.
    m_player = new QMediaPlayer(this);
    m_video = new QVideoWidget(this);
    PaintBlack(m_video);
    layout()->addWidget(m_video);
    m_video->show();
    m_player->setVideoOutput(m_video);

    connect(m_player, &QMediaPlayer::positionChanged, this, [this](qint64 ms) {
        // The media library's clock may step back a little while playing
        // (a correction when the machine is busy, or the end reported at
        // the file's length after the clock ran past it); the slider must
        // not twitch back. A seek, a stop or a new file starts afresh.
        if (ms < m_reported)
            return;
        m_reported = ms;
        emit PlayerPosition(double(ms) / 1000.0);
    });
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::EndOfMedia)
            ReportStopped();
    });
    connect(m_player, &QMediaPlayer::errorOccurred, this, [this] {
        // The player would otherwise claim to play a file it cannot show.
        m_failed = true;
        ReportStopped();
    });
}

void CMoviePlayer::UpdateAudioOutput()
{
    const bool haveDevice = !QMediaDevices::audioOutputs().isEmpty();
    if (haveDevice && !m_audio) {
        m_audio = new QAudioOutput(this);
        m_player->setAudioOutput(m_audio);
    } else if (!haveDevice && m_audio) {
        m_player->setAudioOutput(nullptr);
        delete m_audio;
        m_audio = nullptr;
    }
}

void CMoviePlayer::ReportStopped()
{
    const unsigned generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (generation == m_generation)
                emit PlayerStopped();
        },
        Qt::QueuedConnection);
}

void CMoviePlayer::SetFileName(const QString &path)
{
    ++m_generation;
    m_failed = false;
    m_reported = -1;
    if (!m_player)
        CreatePlayer();
    // Devices come and go; each new file takes the outputs there are now.
    UpdateAudioOutput();
    // Load afresh even when the name is the same: the file may have changed
    // and a failed load must be tried again, not skipped as already loaded.
    m_player->setSource(QUrl());
    m_player->setSource(QUrl::fromLocalFile(path));
}

void CMoviePlayer::SetProperty2(int startSeconds)
{
    m_startSeconds = qMax(0, startSeconds);
}

void CMoviePlayer::Play()
{
    if (!m_player || m_failed)
        return;  // nothing to play, or its failure is being reported
    if (m_player->playbackState() == QMediaPlayer::StoppedState) {
        m_reported = -1;
        if (m_startSeconds > 0)
            m_player->setPosition(qint64(m_startSeconds) * 1000);
    }
    m_player->play();
}

void CMoviePlayer::Stop()
{
    ++m_generation;
    m_reported = -1;
    if (m_player)
        m_player->stop();
}

void CMoviePlayer::Pause()
{
    if (m_player)
        m_player->pause();
}

void CMoviePlayer::Seek(double seconds)
{
    m_reported = -1;
    if (m_player)
        m_player->setPosition(qint64(seconds * 1000.0));
}

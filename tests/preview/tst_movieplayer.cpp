#include "preview/CMoviePlayer.h"

#include "tests/support/TestMedia.h"

#include <QApplication>
#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The movie player on generated videos, without a sound device. Playing is
// real time, so each test costs what it plays.
class MoviePlayerTest : public QObject
{
    Q_OBJECT

private:
    static double Last(const QSignalSpy &spy) { return spy.isEmpty() ? -1.0 : spy.last().at(0).toDouble(); }
    static double First(const QSignalSpy &spy) { return spy.isEmpty() ? -1.0 : spy.first().at(0).toDouble(); }

    QTemporaryDir m_dir;
    QString m_video;

private Q_SLOTS:
    void initTestCase()
    {
        m_video = m_dir.path() + "/three.mp4";
        QCOMPARE(TestMedia::MakeSmallClip(m_video), QString());
    }

    void playsToTheEndWithoutSound()
    {
        CMoviePlayer player;
        player.resize(160, 120);
        player.show();
        QSignalSpy positions(&player, &CMoviePlayer::PlayerPosition);
        QSignalSpy stopped(&player, &CMoviePlayer::PlayerStopped);
        player.SetFileName(m_video);
        QCOMPARE(player.HasAudioOutput(), !QMediaDevices::audioOutputs().isEmpty());
        player.SetProperty2(0);
        player.Play();
        // Three seconds of film; a loaded machine may take much longer to
        // show them, which is no fault of the player's.
        QVERIFY2(stopped.wait(60000), qPrintable(QStringLiteral("no end after %1 positions, the last %2")
                                                     .arg(positions.size())
                                                     .arg(Last(positions))));
        QVERIFY2(Last(positions) >= 2.5, qPrintable(QString::number(Last(positions))));
        QVERIFY(First(positions) < 1.0);
        for (qsizetype i = 1; i < positions.size(); ++i)
            QVERIFY(positions.at(i).at(0).toDouble() >= positions.at(i - 1).at(0).toDouble());
        QTest::qWait(200);
        QCOMPARE(stopped.size(), 1);
    }

    void property2IsTheStartSecond()
    {
        CMoviePlayer player;
        QSignalSpy positions(&player, &CMoviePlayer::PlayerPosition);
        QSignalSpy stopped(&player, &CMoviePlayer::PlayerStopped);
        player.SetFileName(m_video);
        player.SetProperty2(2);
        player.Play();
        QVERIFY(stopped.wait(60000));
        // It played from the second second on: nothing between 0.5 and 2.
        QVERIFY2(Last(positions) >= 2.0, qPrintable(QString::number(Last(positions))));
        for (const QList<QVariant> &position : positions)
            QVERIFY(position.at(0).toDouble() < 0.5 || position.at(0).toDouble() >= 2.0);
    }

    // Event 1 tells of stops the player came to by itself; the program's own
    // stop is not echoed, and neither is an end overtaken by a new file.
    void ownStopIsNotReported()
    {
        CMoviePlayer player;
        QSignalSpy positions(&player, &CMoviePlayer::PlayerPosition);
        QSignalSpy stopped(&player, &CMoviePlayer::PlayerStopped);
        player.SetFileName(m_video);
        player.Play();
        QTRY_VERIFY_WITH_TIMEOUT(Last(positions) >= 0.5, 60000);
        player.Stop();
        QTest::qWait(300);
        QCOMPARE(stopped.size(), 0);
    }

    void unreadableFileReportsEvent1()
    {
        const QString path = m_dir.path() + "/notes.mp4";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("these are notes, not a video\n");
        file.close();
        CMoviePlayer player;
        QSignalSpy stopped(&player, &CMoviePlayer::PlayerStopped);
        for (int attempt = 0; attempt < 2; ++attempt) {
            player.SetFileName(path);
            player.SetProperty2(0);
            QCOMPARE(stopped.size(), attempt);  // never from within a call
            player.Play();
            QVERIFY(stopped.wait(60000));
            player.Stop();
        }
        QTest::qWait(200);
        QCOMPARE(stopped.size(), 2);
    }
};

int main(int argc, char **argv)
{
    // The media backend is chosen when the application object is made.
    qputenv("QT_MEDIA_BACKEND", "ffmpeg");
    QApplication app(argc, argv);
    MoviePlayerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_movieplayer.moc"

#include "app/CKelvaroDlg.h"
#include "controls/CIconButton.h"
#include "controls/CNiceSliderCtrl.h"
#include "res/Menus.h"
#include "res/Templates.h"
#include "sources/CMoviePlayer.h"
#include "sources/SourceTable.h"

#include "FakeHost.h"
#include "tests/support/TestMedia.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <memory>

// The preview with the real media player on generated videos, without a
// sound device. Playing is real time, so each test costs what it plays.
class PreviewTest : public QObject
{
    Q_OBJECT

private:
    // The pictures of the play/pause button differ in size: play is 11x14,
    // pause 10x12.
    static QSize PlayPicture() { return {11, 14}; }
    static QSize PausePicture() { return {10, 12}; }

    static double Last(const QSignalSpy &spy) { return spy.isEmpty() ? -1.0 : spy.last().at(0).toDouble(); }
    static double First(const QSignalSpy &spy) { return spy.isEmpty() ? -1.0 : spy.first().at(0).toDouble(); }

    std::unique_ptr<CKelvaroDlg> WindowWithVideo(const QString &video)
    {
        auto window = std::make_unique<CKelvaroDlg>();
        window->show();
        qobject_cast<QLineEdit *>(window->Control(IDC_FOLDER))->setText(m_dir.path() + "/out/");
        window->AddFiles({video});
        if (!QTest::qWaitFor([&] { return window->Sources().RowCount() == 1; }, 20000))
            return nullptr;
        return window;
    }
    static CIconButton *PlayButton(CKelvaroDlg &window) { return qobject_cast<CIconButton *>(window.Control(IDC_PLAY)); }
    static CNiceSliderCtrl *Slider(CKelvaroDlg &window)
    {
        return qobject_cast<CNiceSliderCtrl *>(window.Control(IDC_POSITION));
    }

    FakeHost m_host;
    QTemporaryDir m_dir;
    QString m_video;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_host.UseEncoder(QStringLiteral(KELVARO_PROGRAM_DIR "morlenc")));
        TestMedia::VideoRecipe recipe;
        recipe.path = m_dir.path() + "/three.mp4";
        recipe.width = 160;
        recipe.height = 120;
        recipe.seconds = 3.0;
        QCOMPARE(TestMedia::MakeVideo(recipe), QString());
        m_video = recipe.path;
    }
    void cleanupTestCase()
    {
        // An encoder that has just ended deletes its process object from the
        // event loop; give it the turn, or the leak checker counts it.
        QTest::qWait(50);
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
        QVERIFY(stopped.wait(10000));
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
        QElapsedTimer clock;
        clock.start();
        player.SetFileName(m_video);
        player.SetProperty2(2);
        player.Play();
        QVERIFY(stopped.wait(10000));
        QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
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
        QTRY_VERIFY_WITH_TIMEOUT(Last(positions) >= 0.5, 5000);
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
            QVERIFY(stopped.wait(5000));
            player.Stop();
        }
        QTest::qWait(200);
        QCOMPARE(stopped.size(), 2);
    }

    void windowPlaysTheFirstRowToTheEnd()
    {
        auto window = WindowWithVideo(m_video);
        QVERIFY(window);
        auto *list = qobject_cast<QTreeView *>(window->Control(IDC_LIST));
        QVERIFY(list->selectionModel()->selectedRows().isEmpty());
        window->OnCommand(IDC_PLAY);
        QCOMPARE(window->PreviewStateValue(), int(CKelvaroDlg::Playing));
        QCOMPARE(PlayButton(*window)->ImageSize(), PausePicture());
        QCOMPARE(Slider(*window)->maximum(), 3);
        QVERIFY(list->selectionModel()->selectedRows().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(Slider(*window)->value() >= 2, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(window->PreviewStateValue(), int(CKelvaroDlg::Stopped), 5000);
        QCOMPARE(PlayButton(*window)->ImageSize(), PlayPicture());
        QCOMPARE(Slider(*window)->value(), 0);
    }

    void windowPausesSeeksAndStops()
    {
        auto window = WindowWithVideo(m_video);
        QVERIFY(window);
        CNiceSliderCtrl *slider = Slider(*window);
        window->OnCommand(IDC_PLAY);
        window->OnCommand(ID_LIST_PLAYPAUSE);
        QCOMPARE(window->PreviewStateValue(), int(CKelvaroDlg::Paused));
        QCOMPARE(PlayButton(*window)->ImageSize(), PlayPicture());
        // The user drags the thumb to 2 s and lets go: playing resumes there.
        const QPoint twoThirds(slider->width() * 2 / 3, slider->height() / 2);
        QTest::mousePress(slider, Qt::LeftButton, {}, twoThirds);
        QCOMPARE(slider->value(), 2);
        QTest::mouseRelease(slider, Qt::LeftButton, {}, twoThirds);
        QCOMPARE(slider->Pressed(), 0);
        QCOMPARE(window->PreviewStateValue(), int(CKelvaroDlg::Playing));
        QCOMPARE(PlayButton(*window)->ImageSize(), PausePicture());
        // The end comes from 2 s on, within a little over a second.
        QElapsedTimer clock;
        clock.start();
        QTRY_COMPARE_WITH_TIMEOUT(window->PreviewStateValue(), int(CKelvaroDlg::Stopped), 5000);
        QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));

        window->OnCommand(IDC_PLAY);
        QTRY_VERIFY_WITH_TIMEOUT(slider->value() >= 1, 5000);
        window->OnCommand(ID_LIST_STOP);
        QCOMPARE(window->PreviewStateValue(), int(CKelvaroDlg::Stopped));
        QCOMPARE(PlayButton(*window)->ImageSize(), PlayPicture());
        QTest::qWait(300);
        QCOMPARE(slider->value(), 0);
    }

    // The row stays, the file behind it does not: the preview must not claim
    // to play for ever.
    void windowComesBackFromAFileItCannotPlay()
    {
        const QString copy = m_dir.path() + "/copy.mp4";
        QVERIFY(QFile::copy(m_video, copy));
        auto window = WindowWithVideo(copy);
        QVERIFY(window);
        QFile file(copy);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("gone\n");
        file.close();
        window->OnCommand(IDC_PLAY);
        QTRY_COMPARE_WITH_TIMEOUT(window->PreviewStateValue(), int(CKelvaroDlg::Stopped), 5000);
        QCOMPARE(PlayButton(*window)->ImageSize(), PlayPicture());
    }
};

int main(int argc, char **argv)
{
    // The media backend is chosen when the application object is made.
    qputenv("QT_MEDIA_BACKEND", "ffmpeg");
    QApplication app(argc, argv);
    PreviewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_preview.moc"

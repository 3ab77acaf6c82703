#include "app/CKelvaroDlg.h"
#include "controls/CIconButton.h"
#include "controls/CNiceSliderCtrl.h"
#include "preview/PreviewMachine.h"
#include "res/Menus.h"
#include "res/Templates.h"
#include "sources/SourceTable.h"

#include "FakeHost.h"
#include "tests/support/TestMedia.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <memory>

// The window's preview controls reach the preview: its play/pause button,
// the list's menu, the slider and the player's own events, with the real
// media player on a generated video.
class PreviewTest : public QObject
{
    Q_OBJECT

private:
    // The pictures of the play/pause button differ in size: play is 11x14,
    // pause 10x12.
    static QSize PlayPicture() { return {11, 14}; }
    static QSize PausePicture() { return {10, 12}; }

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
        m_video = m_dir.path() + "/three.mp4";
        QCOMPARE(TestMedia::MakeSmallClip(m_video), QString());
    }
    void cleanupTestCase()
    {
        // An encoder that has just ended deletes its process object from the
        // event loop; give it the turn, or the leak checker counts it.
        QTest::qWait(50);
    }

    void windowPlaysTheFirstRowToTheEnd()
    {
        auto window = WindowWithVideo(m_video);
        QVERIFY(window);
        auto *list = qobject_cast<QTreeView *>(window->Control(IDC_LIST));
        QVERIFY(list->selectionModel()->selectedRows().isEmpty());
        window->OnCommand(IDC_PLAY);
        QCOMPARE(window->PreviewStateValue(), int(PreviewMachine::Playing));
        QCOMPARE(PlayButton(*window)->ImageSize(), PausePicture());
        QCOMPARE(Slider(*window)->maximum(), 3);
        QVERIFY(list->selectionModel()->selectedRows().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(Slider(*window)->value() >= 2, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(window->PreviewStateValue(), int(PreviewMachine::Stopped), 5000);
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
        QCOMPARE(window->PreviewStateValue(), int(PreviewMachine::Paused));
        QCOMPARE(PlayButton(*window)->ImageSize(), PlayPicture());
        // The user drags the thumb to 2 s and lets go: playing resumes there.
        const QPoint twoThirds(slider->width() * 2 / 3, slider->height() / 2);
        QTest::mousePress(slider, Qt::LeftButton, {}, twoThirds);
        QCOMPARE(slider->value(), 2);
        QTest::mouseRelease(slider, Qt::LeftButton, {}, twoThirds);
        QCOMPARE(slider->Pressed(), 0);
        QCOMPARE(window->PreviewStateValue(), int(PreviewMachine::Playing));
        QCOMPARE(PlayButton(*window)->ImageSize(), PausePicture());
        // It plays on from there to the end (where it starts is the
        // player's own test).
        QTRY_COMPARE_WITH_TIMEOUT(window->PreviewStateValue(), int(PreviewMachine::Stopped), 60000);

        window->OnCommand(IDC_PLAY);
        QTRY_VERIFY_WITH_TIMEOUT(slider->value() >= 1, 60000);
        window->OnCommand(ID_LIST_STOP);
        QCOMPARE(window->PreviewStateValue(), int(PreviewMachine::Stopped));
        QCOMPARE(PlayButton(*window)->ImageSize(), PlayPicture());
        QTest::qWait(300);
        QCOMPARE(slider->value(), 0);
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

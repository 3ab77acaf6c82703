#include "preview/PreviewMachine.h"

#include <QTest>

#include <vector>

namespace {

using Picture = PreviewView::Picture;

class FakePlayer : public PreviewPlayer
{
public:
    void SetFileName(const QString &path) override { calls << "SetFileName " + path; }
    void SetProperty2(int value) override { calls << "SetProperty2 " + QString::number(value); }
    void Play() override { calls << "Play"; }
    void Stop() override { calls << "Stop"; }
    void Pause() override { calls << "Pause"; }
    void Seek(double seconds) override { calls << "Seek " + QString::number(seconds); }

    QStringList calls;
};

// A list of three files: "a" of 12.7 s, "b" of 0.6 s, "c" of 5 s.
class FakeView : public PreviewView
{
public:
    struct Row {
        QString path;
        double duration;
    };

    void SetPlayPicture(Picture shown) override { picture = shown; }
    void FocusList() override {}
    void SetSliderRange(int maximum) override { sliderMaximum = maximum; }
    void SetSliderPosition(int seconds) override { sliderPosition = qBound(0, seconds, sliderMaximum); }
    int SliderPosition() const override { return sliderPosition; }
    bool SliderPressed() const override { return pressed; }
    void ClearSliderFlags() override { pressed = dragging = false; }
    int SelectedRow() const override { return selected; }
    int RowCount() const override { return int(rows.size()); }
    QString Path(int row) const override { return rows.at(row).path; }
    double Duration(int row) const override { return rows.at(row).duration; }

    // The user holds the thumb and moves it to `seconds`.
    void Drag(int seconds)
    {
        pressed = dragging = true;
        sliderPosition = qBound(0, seconds, sliderMaximum);
    }

    Picture picture = Picture::Play;
    int sliderMaximum = 100;
    int sliderPosition = 0;
    bool pressed = false;
    bool dragging = false;
    int selected = 0;
    std::vector<Row> rows{{"/v/a", 12.7}, {"/v/b", 0.6}, {"/v/c", 5.0}};
};

struct Fixture {
    FakePlayer player;
    FakeView view;
    PreviewMachine machine{player, view};

    // Brings the machine into `state` with row 0 loaded and forgets the calls
    // that took it there.
    void Reach(PreviewMachine::State state)
    {
        if (state != PreviewMachine::Stopped)
            machine.OnPlayPause();
        if (state == PreviewMachine::Paused)
            machine.OnPlayPause();
        player.calls.clear();
    }
};

enum class Event { PlayPause, Stop, PlayerStopped, Released, DoubleClickOther, DoubleClickLoaded, Convert };

} // namespace

Q_DECLARE_METATYPE(PreviewMachine::State)
Q_DECLARE_METATYPE(Event)
Q_DECLARE_METATYPE(Picture)

class PreviewMachineTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void transitions_data()
    {
        QTest::addColumn<PreviewMachine::State>("from");
        QTest::addColumn<Event>("event");
        QTest::addColumn<PreviewMachine::State>("to");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<Picture>("picture");
        QTest::addColumn<int>("slider");  // thumb position afterwards

        using S = PreviewMachine;
        const QStringList startA{"SetFileName /v/a", "SetProperty2 0", "Play"};
        const QStringList startC{"SetFileName /v/c", "SetProperty2 0", "Play"};
        // Before each event the player has reported 7 s and, for a release,
        // the user has let go of the thumb at 4 s.
        QTest::newRow("stopped, play") << S::Stopped << Event::PlayPause << S::Playing << startA << Picture::Pause << 0;
        QTest::newRow("playing, play") << S::Playing << Event::PlayPause << S::Paused << QStringList{"Pause"}
                                       << Picture::Play << 7;
        QTest::newRow("paused, play") << S::Paused << Event::PlayPause << S::Playing << QStringList{"Play"}
                                      << Picture::Pause << 7;
        for (S::State from : {S::Stopped, S::Playing, S::Paused}) {
            QTest::addRow("state %d, stop", int(from)) << from << Event::Stop << S::Stopped << QStringList{"Stop"}
                                                       << Picture::Play << 0;
            QTest::addRow("state %d, event 1", int(from)) << from << Event::PlayerStopped << S::Stopped
                                                          << QStringList{"Stop"} << Picture::Play << 0;
        }
        QTest::newRow("playing, release") << S::Playing << Event::Released << S::Playing
                                          << QStringList{"Seek 4", "Play"} << Picture::Pause << 4;
        QTest::newRow("paused, release") << S::Paused << Event::Released << S::Playing
                                         << QStringList{"Seek 4", "Play"} << Picture::Pause << 4;
        QTest::newRow("stopped, release") << S::Stopped << Event::Released << S::Stopped << QStringList{}
                                          << Picture::Play << 0;
        QTest::newRow("stopped, double-click") << S::Stopped << Event::DoubleClickOther << S::Playing << startC
                                               << Picture::Pause << 0;
        QTest::newRow("playing, double-click other") << S::Playing << Event::DoubleClickOther << S::Playing
                                                     << QStringList{"Stop"} + startC << Picture::Pause << 0;
        QTest::newRow("paused, double-click other") << S::Paused << Event::DoubleClickOther << S::Playing
                                                    << QStringList{"Stop"} + startC << Picture::Pause << 0;
        QTest::newRow("playing, double-click loaded") << S::Playing << Event::DoubleClickLoaded << S::Paused
                                                      << QStringList{"Pause"} << Picture::Play << 7;
        QTest::newRow("paused, double-click loaded") << S::Paused << Event::DoubleClickLoaded << S::Playing
                                                     << QStringList{"Play"} << Picture::Pause << 7;
        QTest::newRow("playing, convert") << S::Playing << Event::Convert << S::Stopped << QStringList{"Stop"}
                                          << Picture::Play << 0;
        QTest::newRow("paused, convert") << S::Paused << Event::Convert << S::Stopped << QStringList{"Stop"}
                                         << Picture::Play << 0;
        // Stopped, the thumb stays at 0 whatever the player still reports.
        QTest::newRow("stopped, convert") << S::Stopped << Event::Convert << S::Stopped << QStringList{}
                                          << Picture::Play << 0;
    }

    void transitions()
    {
        QFETCH(PreviewMachine::State, from);
        QFETCH(Event, event);
        Fixture f;
        f.Reach(from);
        f.machine.OnPlayerPosition(7.0);
        switch (event) {
        case Event::PlayPause: f.machine.OnPlayPause(); break;
        case Event::Stop: f.machine.OnStop(); break;
        case Event::PlayerStopped: f.machine.OnPlayerStopped(); break;
        case Event::Released:
            f.view.Drag(4);
            f.machine.OnPositionReleased();
            QVERIFY(!f.view.pressed && !f.view.dragging);
            break;
        case Event::DoubleClickOther:
            f.view.selected = 2;
            f.machine.OnListDoubleClick();
            break;
        case Event::DoubleClickLoaded: f.machine.OnListDoubleClick(); break;
        case Event::Convert: f.machine.StopPreview(); break;
        }
        QTEST(f.machine.CurrentState(), "to");
        QTEST(f.player.calls, "calls");
        QTEST(f.view.picture, "picture");
        QTEST(f.view.sliderPosition, "slider");
    }

    void playWithoutSelectionPlaysTheFirstRow()
    {
        Fixture f;
        f.view.selected = -1;
        f.machine.OnPlayPause();
        QCOMPARE(f.player.calls.first(), "SetFileName /v/a");
        QCOMPARE(f.machine.LoadedRow(), 0);
        QCOMPARE(f.view.selected, -1);
        // A double-click needs a selection.
        f.player.calls.clear();
        f.machine.OnListDoubleClick();
        QCOMPARE(f.player.calls, QStringList());
    }

    void playPlayPlayLoadsOnce()
    {
        Fixture f;
        QList<Picture> pictures;
        for (int i = 0; i < 3; ++i) {
            f.machine.OnPlayPause();
            pictures << f.view.picture;
        }
        QCOMPARE(pictures, (QList<Picture>{Picture::Pause, Picture::Play, Picture::Pause}));
        QCOMPARE(f.player.calls, (QStringList{"SetFileName /v/a", "SetProperty2 0", "Play", "Pause", "Play"}));
        QCOMPARE(f.machine.CurrentState(), PreviewMachine::Playing);
    }

    void durationUnderOneSecondGivesAnEmptyRange()
    {
        Fixture f;
        f.view.selected = 1;
        f.machine.OnPlayPause();
        QCOMPARE(f.view.sliderMaximum, 0);
        f.machine.OnPlayerPosition(0.5);
        QCOMPARE(f.view.sliderPosition, 0);
    }

    void heldThumbIgnoresPositionsThenSeeksOnRelease_data()
    {
        QTest::addColumn<PreviewMachine::State>("from");
        QTest::newRow("playing") << PreviewMachine::Playing;
        QTest::newRow("paused") << PreviewMachine::Paused;
    }
    void heldThumbIgnoresPositionsThenSeeksOnRelease()
    {
        QFETCH(PreviewMachine::State, from);
        Fixture f;
        f.Reach(from);
        f.machine.OnPlayerPosition(1.0);
        f.view.Drag(9);
        for (double p : {1.5, 2.2, 3.0})
            f.machine.OnPlayerPosition(p);
        QCOMPARE(f.view.sliderPosition, 9);
        f.machine.OnPositionReleased();
        QCOMPARE(f.player.calls, (QStringList{"Seek 9", "Play"}));
        QCOMPARE(f.machine.CurrentState(), PreviewMachine::Playing);
        QCOMPARE(f.view.picture, Picture::Pause);
        // The thumb follows the player again.
        f.machine.OnPlayerPosition(9.4);
        f.machine.OnPlayerPosition(10.1);
        QCOMPARE(f.view.sliderPosition, 10);
    }

    void releaseWhileStoppedPutsTheThumbBack()
    {
        Fixture f;
        f.view.Drag(6);
        f.machine.OnPositionReleased();
        QCOMPARE(f.view.sliderPosition, 0);
        QVERIFY(!f.view.pressed && !f.view.dragging);
        QCOMPARE(f.player.calls, QStringList());
    }

    void doubleClickOnAnotherRowStartsItAtZero()
    {
        Fixture f;
        f.Reach(PreviewMachine::Playing);
        f.machine.OnPlayerPosition(9.0);
        f.view.selected = 2;
        f.machine.OnListDoubleClick();
        QCOMPARE(f.machine.LoadedRow(), 2);
        QCOMPARE(f.view.sliderMaximum, 5);
        QCOMPARE(f.view.sliderPosition, 0);
    }

    void convertWhilePlayingThenPlayLoadsTheSelectionAfresh()
    {
        Fixture f;
        f.Reach(PreviewMachine::Playing);
        f.machine.OnPlayerPosition(8.0);
        f.view.selected = 2;
        f.machine.StopPreview();
        QCOMPARE(f.view.picture, Picture::Play);
        f.player.calls.clear();
        f.machine.OnPlayPause();
        QCOMPARE(f.player.calls, (QStringList{"SetFileName /v/c", "SetProperty2 0", "Play"}));
        QCOMPARE(f.view.sliderPosition, 0);
    }

    void emptyListOnlyStops()
    {
        Fixture f;
        f.view.rows.clear();
        f.view.selected = -1;
        f.machine.OnPlayPause();
        f.machine.OnListDoubleClick();
        QCOMPARE(f.player.calls, QStringList());
        QCOMPARE(f.machine.CurrentState(), PreviewMachine::Stopped);
        f.machine.OnStop();
        QCOMPARE(f.player.calls, QStringList{"Stop"});
    }

    // The loaded row follows its file when rows go or move, so that a
    // double-click on a row means the file that row shows; a playing file
    // plays on after its row is gone.
    void loadedRowFollowsItsFile_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("loaded");
        QTest::addColumn<QStringList>("doubleClickFirstRow");
        const QStringList restart{"Stop", "SetFileName /v/a", "SetProperty2 0", "Play"};
        // "b", in the second row, plays when the list changes.
        QTest::newRow("row above removed") << "remove 0" << 0 << QStringList{"Pause"};
        QTest::newRow("its row removed") << "remove 1" << -1 << restart;
        QTest::newRow("row below removed") << "remove 2" << 1 << restart;
        QTest::newRow("moved up") << "swap 1 0" << 0 << QStringList{"Pause"};
        QTest::newRow("moved down") << "swap 1 2" << 2 << restart;
    }
    void loadedRowFollowsItsFile()
    {
        QFETCH(QString, change);
        Fixture f;
        f.view.selected = 1;
        f.Reach(PreviewMachine::Playing);
        const QStringList words = change.split(' ');
        if (words[0] == "remove") {
            f.view.rows.erase(f.view.rows.begin() + words[1].toInt());
            f.machine.OnRowRemoved(words[1].toInt());
        } else {
            std::swap(f.view.rows[words[1].toInt()], f.view.rows[words[2].toInt()]);
            f.machine.OnRowsSwapped(words[1].toInt(), words[2].toInt());
        }
        QCOMPARE(f.machine.CurrentState(), PreviewMachine::Playing);
        QTEST(f.machine.LoadedRow(), "loaded");
        f.view.selected = 0;
        f.machine.OnListDoubleClick();
        QTEST(f.player.calls, "doubleClickFirstRow");
    }
};

QTEST_GUILESS_MAIN(PreviewMachineTest)
#include "tst_previewmachine.moc"

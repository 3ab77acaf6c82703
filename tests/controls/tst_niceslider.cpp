#include "controls/CNiceSliderCtrl.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>

#include <limits>

namespace {

// The channel runs from x = 10 to x = 110 (100 pixels), whatever the style.
class FixedChannelSlider : public CNiceSliderCtrl
{
public:
    using CNiceSliderCtrl::CNiceSliderCtrl;
    QRect channel = QRect(10, 0, 100, 8);
    QRect ChannelRect() const override { return channel; }
};

void SendMouse(QWidget &widget, QEvent::Type type, int x, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    const QPointF at(x, 4);
    QMouseEvent event(type, at, widget.mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

void Press(QWidget &widget, int x)
{
    SendMouse(widget, QEvent::MouseButtonPress, x, Qt::LeftButton, Qt::LeftButton);
}

void Drag(QWidget &widget, int x)
{
    SendMouse(widget, QEvent::MouseMove, x, Qt::NoButton, Qt::LeftButton);
}

QList<int> Positions(const QSignalSpy &spy)
{
    QList<int> positions;
    for (const QList<QVariant> &call : spy)
        positions << call.at(0).toInt();
    return positions;
}

} // namespace

class TestNiceSlider : public QObject
{
    Q_OBJECT

private slots:
    void moveThumbToPoint_data();
    void moveThumbToPoint();
    void pressJumpsAndReportsOnce();
    void pressAtTheCurrentPositionReportsNothing();
    void dragFollowsAndReportsClampedPositions();
    void movesWithoutAPressAreIgnored();
    void releaseReportsAndLeavesTheFlagsToTheOwner();
    void styleChannelLiesAlongTheSlider();
};

void TestNiceSlider::moveThumbToPoint_data()
{
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("start");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("position");
    const int big = 1'000'000'000;
    QTest::newRow("worked example: middle is 50") << 0 << 100 << 0 << QPoint(60, 4) << false << true << 50;
    QTest::newRow("channel start") << 0 << 100 << 50 << QPoint(10, 4) << false << true << 0;
    QTest::newRow("channel end") << 0 << 100 << 50 << QPoint(110, 4) << false << true << 100;
    QTest::newRow("nearest: just under half a step") << 0 << 10 << 0 << QPoint(14, 4) << false << false << 0;
    QTest::newRow("nearest: half a step rounds up") << 0 << 10 << 0 << QPoint(15, 4) << false << true << 1;
    QTest::newRow("offset range") << 20 << 30 << 20 << QPoint(60, 4) << false << true << 25;
    // -49.5 truncates toward zero, not down.
    QTest::newRow("negative range truncates toward zero") << -50 << 50 << 0 << QPoint(10, 4) << false << true << -49;
    QTest::newRow("before the channel: clamped") << 0 << 100 << 50 << QPoint(0, 4) << false << true << 0;
    QTest::newRow("after the channel: clamped") << 0 << 100 << 0 << QPoint(300, 4) << false << true << 100;
    // Beyond the end the computed position differs from the stored one, so
    // it counts as a change although the thumb stays put.
    QTest::newRow("after the channel at the end") << 0 << 100 << 100 << QPoint(300, 4) << false << true << 100;
    QTest::newRow("at the current position") << 0 << 100 << 50 << QPoint(60, 4) << false << false << 50;
    QTest::newRow("far beyond does not wrap") << 0 << big << 0 << QPoint(big, 4) << false << true << big;
    QTest::newRow("vertical uses y") << 0 << 100 << 0 << QPoint(200, 60) << true << true << 50;
}

void TestNiceSlider::moveThumbToPoint()
{
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(int, start);
    QFETCH(QPoint, point);
    QFETCH(bool, vertical);
    QFETCH(bool, changed);
    QFETCH(int, position);
    FixedChannelSlider slider(vertical ? Qt::Vertical : Qt::Horizontal);
    slider.setRange(min, max);
    slider.setValue(start);
    QCOMPARE(slider.MoveThumbToPoint(point), changed);
    QCOMPARE(slider.value(), position);
}

void TestNiceSlider::pressJumpsAndReportsOnce()
{
    QWidget window;
    FixedChannelSlider slider(&window);
    slider.setGeometry(0, 0, 120, 8);
    slider.setRange(0, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy tracks(&slider, &CNiceSliderCtrl::ThumbTrack);
    Press(slider, 60);
    QCOMPARE(Positions(tracks), QList<int>{50});
    QCOMPARE(slider.value(), 50);
    QCOMPARE(slider.Pressed(), 1);
    QVERIFY(slider.Dragging());
    QVERIFY(slider.Moved());
    QCOMPARE(QApplication::focusWidget(), &slider);
}

void TestNiceSlider::pressAtTheCurrentPositionReportsNothing()
{
    FixedChannelSlider slider;
    slider.setRange(0, 100);
    slider.setValue(50);
    QSignalSpy tracks(&slider, &CNiceSliderCtrl::ThumbTrack);
    Press(slider, 60);
    QVERIFY(tracks.isEmpty());
    QCOMPARE(slider.Pressed(), 1);
    QVERIFY(slider.Dragging());
    QVERIFY(!slider.Moved());
}

void TestNiceSlider::dragFollowsAndReportsClampedPositions()
{
    FixedChannelSlider slider;
    slider.setRange(0, 100);
    QSignalSpy tracks(&slider, &CNiceSliderCtrl::ThumbTrack);
    Press(slider, 60);
    Drag(slider, 85);
    Drag(slider, 85);     // no change, no report
    Drag(slider, 500);    // beyond the end: reported at the end
    Drag(slider, 600);    // still beyond: reported again, still clamped
    Drag(slider, -40);
    QCOMPARE(Positions(tracks), (QList<int>{50, 75, 100, 100, 0}));
    QCOMPARE(slider.value(), 0);
}

void TestNiceSlider::movesWithoutAPressAreIgnored()
{
    FixedChannelSlider slider;
    slider.setRange(0, 100);
    QSignalSpy tracks(&slider, &CNiceSliderCtrl::ThumbTrack);
    Drag(slider, 60);
    // A right-button press is not a jump either.
    SendMouse(slider, QEvent::MouseButtonPress, 60, Qt::RightButton, Qt::RightButton);
    Drag(slider, 60);
    QVERIFY(tracks.isEmpty());
    QCOMPARE(slider.Pressed(), 0);
    QCOMPARE(slider.value(), 0);
}

void TestNiceSlider::releaseReportsAndLeavesTheFlagsToTheOwner()
{
    FixedChannelSlider slider;
    slider.setRange(0, 100);
    QSignalSpy released(&slider, &CNiceSliderCtrl::ReleasedCapture);
    QSignalSpy tracks(&slider, &CNiceSliderCtrl::ThumbTrack);
    // The owner ends the drag when told of the release.
    connect(&slider, &CNiceSliderCtrl::ReleasedCapture, &slider, [&slider] {
        QCOMPARE(slider.Pressed(), 1);
        slider.SetPressed(0);
        slider.SetDragging(false);
    });
    Press(slider, 30);
    SendMouse(slider, QEvent::MouseButtonRelease, 30, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(released.count(), 1);
    QCOMPARE(slider.Pressed(), 0);
    Drag(slider, 90);
    QCOMPARE(Positions(tracks), QList<int>{20});
}

void TestNiceSlider::styleChannelLiesAlongTheSlider()
{
    CNiceSliderCtrl horizontal(Qt::Horizontal);
    horizontal.resize(200, 20);
    const QRect across = horizontal.ChannelRect();
    QVERIFY2(across.width() > 150 && across.left() >= 0 && across.right() < 200,
             qPrintable(QStringLiteral("%1 %2").arg(across.left()).arg(across.width())));

    // A vertical slider reports its channel transposed, so that left and
    // right span its height.
    CNiceSliderCtrl vertical(Qt::Vertical);
    vertical.resize(20, 200);
    const QRect along = vertical.ChannelRect();
    QVERIFY(along.width() > 150 && along.left() >= 0 && along.right() < 200);
}

QTEST_MAIN(TestNiceSlider)
#include "tst_niceslider.moc"

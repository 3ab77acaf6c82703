#include "tst_iconbutton.h"

#include "controls/CIconButton.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QtTest>

namespace {

const QColor kFace(90, 100, 110);
const QColor kLight(250, 240, 230);
const QColor kDark(20, 30, 40);

// A palette whose face, highlight and shadow can be told apart in pixels.
QPalette Distinct(QPalette palette)
{
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Button, kFace);
        palette.setColor(group, QPalette::Light, kLight);
        palette.setColor(group, QPalette::Dark, kDark);
    }
    return palette;
}

QImage Shot(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void Hover(CIconButton &button)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), button.mapToGlobal(QPointF(5, 5)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&button, &move);
}

// A parent painting its left part in one colour and, from x = 40, another.
class Backdrop : public QWidget
{
public:
    QColor left = Qt::red;
    QColor right = Qt::blue;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), left);
        painter.fillRect(QRect(40, 0, width() - 40, height()), right);
    }
};

} // namespace

void TestIconButton::frame_data()
{
    QTest::addColumn<bool>("hoverFrame");
    QTest::addColumn<bool>("hovering");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<QColor>("topLeft");
    QTest::addColumn<QColor>("bottomRight");
    QTest::newRow("at rest: flat") << true << false << false << kFace << kFace;
    QTest::newRow("hovered: raised") << true << true << false << kLight << kDark;
    QTest::newRow("pressed: sunken") << true << false << true << kDark << kLight;
    QTest::newRow("hovered and pressed: sunken") << true << true << true << kDark << kLight;
    QTest::newRow("no frame, hovered") << false << true << false << kFace << kFace;
    QTest::newRow("no frame, pressed") << false << false << true << kFace << kFace;
}

void TestIconButton::frame()
{
    QFETCH(bool, hoverFrame);
    QFETCH(bool, hovering);
    QFETCH(bool, pressed);
    QFETCH(QColor, topLeft);
    QFETCH(QColor, bottomRight);

    CIconButton button;
    button.setPalette(Distinct(button.palette()));
    button.resize(30, 20);
    button.SetHoverFrame(hoverFrame, false);
    if (hovering)
        Hover(button);
    button.setDown(pressed);
    const QImage shot = Shot(button);
    QCOMPARE(shot.pixelColor(0, 0), topLeft);
    QCOMPARE(shot.pixelColor(0, 10), topLeft);
    QCOMPARE(shot.pixelColor(29, 19), bottomRight);
    QCOMPARE(shot.pixelColor(29, 10), bottomRight);
    QCOMPARE(shot.pixelColor(15, 10), kFace);
}

void TestIconButton::pressedShiftsImageAndCaption()
{
    CIconButton button(QStringLiteral("Add"));
    button.setPalette(Distinct(button.palette()));
    button.resize(60, 50);
    button.SetIconImage(145);
    button.SetImageLayout(CIconButton::ImageAbove, false);
    button.SetHoverFrame(false, false);
    const QImage normal = Shot(button);
    button.setDown(true);
    const QImage pressed = Shot(button);
    QVERIFY(normal != pressed);
    for (int y = 0; y < 49; ++y)
        for (int x = 0; x < 59; ++x)
            QVERIFY2(pressed.pixel(x + 1, y + 1) == normal.pixel(x, y),
                     qPrintable(QStringLiteral("at %1,%2").arg(x).arg(y)));
}

void TestIconButton::disabledIconIsGreyed()
{
    // The green plus in the middle of a 30x30 button, without caption.
    CIconButton button;
    button.resize(30, 30);
    button.SetIconImage(145);
    const QColor enabled = Shot(button).pixelColor(15, 15);
    button.setEnabled(false);
    const QColor disabled = Shot(button).pixelColor(15, 15);
    QVERIFY2(enabled.hsvSaturation() > 120, qPrintable(enabled.name()));
    QVERIFY2(disabled.hsvSaturation() < 40, qPrintable(disabled.name()));
}

void TestIconButton::parentSnapshotIsTakenOnceAndRetakenOnPaletteChange()
{
    Backdrop parent;
    parent.resize(100, 60);
    CIconButton button(&parent);
    button.setGeometry(30, 10, 20, 20);
    button.UseParentBackground(false);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));

    // The pixels are the parent's under the button: x 30..39 left, 40.. right.
    QImage shot = Shot(button);
    QVERIFY(button.HasSnapshot());
    QCOMPARE(shot.pixelColor(5, 5), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(15, 5), QColor(Qt::blue));

    // Kept while the parent changes on its own...
    parent.left = Qt::green;
    parent.update();
    QCOMPARE(Shot(button).pixelColor(5, 5), QColor(Qt::red));

    // ...and retaken after new system colours.
    QEvent change(QEvent::PaletteChange);
    QApplication::sendEvent(&button, &change);
    QVERIFY(!button.HasSnapshot());
    QCOMPARE(Shot(button).pixelColor(5, 5), QColor(Qt::green));
}

#include "tst_iconbutton.h"

#include "controls/CIconButton.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <map>

namespace {

void SendMouse(QWidget *widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void MoveMouse(QWidget *widget, QPoint at, Qt::MouseButtons buttons)
{
    SendMouse(widget, QEvent::MouseMove, at, Qt::NoButton, buttons);
}

} // namespace

void TestIconButton::placeImage_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("caption");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<QRect>("item");
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<QRect>("captionAfter");

    // A 77x72 button (the Add button of the main window) with its 48x48 icon.
    const QRect item(0, 0, 77, 72);
    const QSize icon(48, 48);
    struct Row
    {
        const char *name;
        int layout;
        bool caption;
        QPoint position;
        QRect captionAfter;
    };
    const Row rows[] = {
        {"left, no caption: centred", 0, false, {14, 12}, item},
        {"left, caption: margin, caption moves right", 0, true, {3, 12}, QRect(51, 0, 26, 72)},
        {"above, no caption: centred", 1, false, {14, 12}, item},
        {"above, caption: 3 from the top, caption below", 1, true, {14, 3}, QRect(0, 48, 77, 24)},
        {"right, no caption: centred across only", 2, false, {14, 0}, item},
        {"right, caption: margin from the right", 2, true, {26, 12}, QRect(3, 0, 23, 72)},
        {"top-left, no caption", 3, false, {0, 0}, item},
        {"top-left, caption", 3, true, {0, 0}, item},
    };
    for (const Row &row : rows) {
        for (const bool pressed : {false, true}) {
            const QPoint shift = pressed ? QPoint(1, 1) : QPoint();
            QTest::addRow("%s%s", row.name, pressed ? ", pressed" : "")
                << row.layout << row.caption << pressed << item << icon << row.position + shift
                << row.captionAfter;
        }
    }
    // Halving truncates toward zero, also when the image is the larger.
    QTest::newRow("image wider than an odd button") << 1 << false << false << QRect(0, 0, 15, 15)
                                                    << icon << QPoint(-16, -16) << QRect(0, 0, 15, 15);
    QTest::newRow("small odd button, bitmap") << 0 << false << false << QRect(0, 0, 18, 15)
                                              << QSize(11, 14) << QPoint(3, 0) << QRect(0, 0, 18, 15);
}

void TestIconButton::placeImage()
{
    QFETCH(int, layout);
    QFETCH(bool, caption);
    QFETCH(bool, pressed);
    QFETCH(QRect, item);
    QFETCH(QSize, image);
    QFETCH(QPoint, position);
    QFETCH(QRect, captionAfter);
    QRect captionRect = item;
    QCOMPARE(CIconButton::PlaceImage(layout, caption, item, captionRect, pressed, image.width(),
                                     image.height()),
             position);
    QCOMPARE(captionRect, captionAfter);
}

void TestIconButton::layoutOutsideTheRangeIsRefused()
{
    CIconButton button;
    QCOMPARE(button.SetImageLayout(2, false), 0);
    QCOMPARE(button.SetImageLayout(4, true), 4);
    QCOMPARE(button.ImageLayout(), 2);
    QCOMPARE(button.SetImageLayout(-1, true), 4);
    QCOMPARE(button.ImageLayout(), 2);
    QCOMPARE(button.SetImageLayout(3, true), 0);
    QCOMPARE(button.ImageLayout(), 3);
}

enum class HoverEvent { Move, Enter, Leave, FocusOut, Disable };
Q_DECLARE_METATYPE(HoverEvent)

void TestIconButton::hover_data()
{
    QTest::addColumn<bool>("hoveringBefore");
    QTest::addColumn<HoverEvent>("event");
    QTest::addColumn<Qt::MouseButtons>("buttons");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<bool>("hoveringAfter");

    const QPoint inside(10, 10);
    const QPoint outside(-5, 10);
    const Qt::MouseButtons none = Qt::NoButton;
    const Qt::MouseButtons left = Qt::LeftButton;
    const Qt::MouseButtons right = Qt::RightButton;
    QTest::newRow("move over starts") << false << HoverEvent::Move << none << inside << true;
    QTest::newRow("enter starts") << false << HoverEvent::Enter << none << inside << true;
    QTest::newRow("left held does not start") << false << HoverEvent::Move << left << inside << false;
    QTest::newRow("right held starts") << false << HoverEvent::Move << right << inside << true;
    QTest::newRow("left held keeps a hover") << true << HoverEvent::Move << left << inside << true;
    QTest::newRow("move elsewhere ends") << true << HoverEvent::Move << none << outside << false;
    QTest::newRow("drag elsewhere ends") << true << HoverEvent::Move << left << outside << false;
    QTest::newRow("leave ends") << true << HoverEvent::Leave << none << inside << false;
    QTest::newRow("focus loss ends") << true << HoverEvent::FocusOut << none << inside << false;
    QTest::newRow("disabling ends") << true << HoverEvent::Disable << none << inside << false;
}

void TestIconButton::hover()
{
    QFETCH(bool, hoveringBefore);
    QFETCH(HoverEvent, event);
    QFETCH(Qt::MouseButtons, buttons);
    QFETCH(QPoint, at);
    QFETCH(bool, hoveringAfter);

    CIconButton button;
    button.resize(40, 30);
    if (hoveringBefore)
        MoveMouse(&button, QPoint(5, 5), Qt::NoButton);
    QCOMPARE(button.IsHovering(), hoveringBefore);

    switch (event) {
    case HoverEvent::Move:
        MoveMouse(&button, at, buttons);
        break;
    case HoverEvent::Enter: {
        QEnterEvent enter(at, at, button.mapToGlobal(at));
        QApplication::sendEvent(&button, &enter);
        break;
    }
    case HoverEvent::Leave: {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&button, &leave);
        break;
    }
    case HoverEvent::FocusOut: {
        QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(&button, &focusOut);
        break;
    }
    case HoverEvent::Disable:
        button.setEnabled(false);
        break;
    }
    QCOMPARE(button.IsHovering(), hoveringAfter);
}

void TestIconButton::disablingMovesTheFocus_data()
{
    // Children of one window in tab order; B is the button that is disabled.
    // A '-' marks a disabled control, '~' a hidden one, '!' one that takes no
    // focus; the focus starts on `from` and must end on `to` ("parent" for
    // the window itself).
    QTest::addColumn<QString>("children");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("focused: next one") << "a B c d" << "B" << "c";
    QTest::newRow("focus elsewhere still moves") << "a B c d" << "d" << "c";
    QTest::newRow("wraps round") << "a c B" << "c" << "a";
    QTest::newRow("skips disabled, hidden, unfocusable") << "a B -c ~d !e f" << "a" << "f";
    QTest::newRow("none left: the parent") << "B -c ~d" << "B" << "parent";
}

void TestIconButton::disablingMovesTheFocus()
{
    QFETCH(QString, children);
    QFETCH(QString, from);
    QFETCH(QString, to);

    QWidget window;
    window.setFocusPolicy(Qt::NoFocus);
    std::map<QString, QWidget *> byName{{QStringLiteral("parent"), &window}};
    CIconButton *button = nullptr;
    int y = 0;
    for (QString name : children.split(QLatin1Char(' '))) {
        const QChar mark = name.at(0);
        if (mark == QLatin1Char('-') || mark == QLatin1Char('~') || mark == QLatin1Char('!'))
            name.remove(0, 1);
        QPushButton *child = name == QLatin1String("B") ? (button = new CIconButton(&window))
                                                         : new QPushButton(name, &window);
        child->setGeometry(0, y, 40, 20);
        y += 25;
        child->setEnabled(mark != QLatin1Char('-'));
        child->setVisible(mark != QLatin1Char('~'));
        if (mark == QLatin1Char('!'))
            child->setFocusPolicy(Qt::NoFocus);
        byName[name] = child;
    }
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    byName.at(from)->setFocus();
    QCOMPARE(QApplication::focusWidget(), byName.at(from));

    button->setEnabled(false);
    QCOMPARE(window.focusWidget() ? window.focusWidget() : &window, byName.at(to));
    if (to == QLatin1String("parent"))
        QCOMPARE(QApplication::focusWidget(), &window);
}

void TestIconButton::doubleClickIsTwoClicks()
{
    CIconButton button(QStringLiteral("Add"));
    button.resize(60, 40);
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    const QPoint at(30, 20);
    SendMouse(&button, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    SendMouse(&button, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    SendMouse(&button, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    SendMouse(&button, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(clicks.count(), 2);
}

QTEST_MAIN(TestIconButton)


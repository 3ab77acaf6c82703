#include "controls/CIconButton.h"

#include "res/pictures/Pictures.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QMouseEvent>

CIconButton::CIconButton(QWidget *parent)
    : CIconButton(QString(), parent)
{
}

CIconButton::CIconButton(const QString &caption, QWidget *parent)
    : QPushButton(caption, parent)
{
    // Hover is tracked on plain mouse moves, without a button held.
    setMouseTracking(true);
    // Every pixel comes from paintEvent, so nothing needs erasing first; this
    // keeps hover changes free of flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    ResetColors(false);
    // A click also hands the keyboard focus to the button, whatever produced
    // it (mouse, keyboard or code); the owner's handlers run after this one.
    connect(this, &QAbstractButton::clicked, this, [this] { setFocus(Qt::OtherFocusReason); });
}

void CIconButton::SetIconImage(int iconId, int width, int height)
{
    ClearImages();
    const QIcon icon = LoadIconResource(iconId);
    if (!icon.isNull()) {
        const QSize own = IconResourceSize(iconId);
        m_icon = icon;
        m_iconSize = QSize(width > 0 ? width : own.width(), height > 0 ? height : own.height());
    }
    update();
}

void CIconButton::SetBitmapImage(int bitmapId, QColor transparent)
{
    ClearImages();
    QPixmap bitmap = LoadBitmapResource(bitmapId);
    if (!bitmap.isNull()) {
        bitmap.setMask(bitmap.createMaskFromColor(transparent, Qt::MaskInColor));
        m_bitmap = bitmap;
    }
    update();
}

int CIconButton::SetImageLayout(int layout, bool repaint)
{
    if (layout < ImageLeft || layout > ImageTopLeft)
        return kBadLayout;
    m_layout = layout;
    if (repaint)
        update();
    return 0;
}

void CIconButton::SetHoverFrame(bool on, bool repaint)
{
    m_hoverFrame = on;
    if (repaint)
        update();
}

void CIconButton::UseParentBackground(bool repaint)
{
    m_parentBackground = true;
    DiscardSnapshot();
    if (repaint)
        update();
}

void CIconButton::SetToolTipText(const QString &text, bool activate)
{
    if (text.isNull())
        return;
    m_toolTipText = text;
    setToolTip(activate ? text : QString());
}

void CIconButton::SetHoverCursor(int cursorId, bool repaint)
{
    unsetCursor();
    if (cursorId != 0) {
        const QCursor cursor = LoadCursorResource(cursorId);
        if (cursor.shape() == Qt::BitmapCursor)
            setCursor(cursor);
    }
    if (repaint)
        update();
}

void CIconButton::ResetColors(bool repaint)
{
    const ColourPair pair{palette().color(QPalette::Button), palette().color(QPalette::ButtonText)};
    m_active = pair;
    m_normal = pair;
    m_focused = pair;
    if (repaint)
        update();
}

void CIconButton::SetOwnerDraw(bool on)
{
    m_ownerDraw = on;
    setAttribute(Qt::WA_OpaquePaintEvent, on);
    update();
}

QSize CIconButton::ImageSize() const
{
    if (!m_icon.isNull())
        return m_iconSize;
    return m_bitmap.deviceIndependentSize().toSize();
}

void CIconButton::mouseMoveEvent(QMouseEvent *event)
{
    QPushButton::mouseMoveEvent(event);
    UpdateHover(event->position(), event->buttons());
}

void CIconButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a quick double click is one more click.
    mousePressEvent(event);
}

void CIconButton::enterEvent(QEnterEvent *event)
{
    QPushButton::enterEvent(event);
    UpdateHover(event->position(), QGuiApplication::mouseButtons());
}

void CIconButton::leaveEvent(QEvent *event)
{
    QPushButton::leaveEvent(event);
    EndHover();
}

void CIconButton::focusOutEvent(QFocusEvent *event)
{
    QPushButton::focusOutEvent(event);
    EndHover();
}

void CIconButton::changeEvent(QEvent *event)
{
    QPushButton::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (!isEnabled()) {
            // Only a button disabled by itself hands the focus on; one that
            // is greyed with its whole window has nowhere to hand it.
            if (testAttribute(Qt::WA_ForceDisabled))
                MoveFocusAway();
            EndHover();
        }
        break;
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
        // New system colours: the parent looks different now, and the
        // colour pairs follow the palette again.
        DiscardSnapshot();
        ResetColors(true);
        break;
    default:
        break;
    }
}

void CIconButton::resizeEvent(QResizeEvent *event)
{
    QPushButton::resizeEvent(event);
    DiscardSnapshot();
}

void CIconButton::moveEvent(QMoveEvent *event)
{
    QPushButton::moveEvent(event);
    DiscardSnapshot();
}

void CIconButton::UpdateHover(QPointF position, Qt::MouseButtons buttons)
{
    // Dragging onto the button with the left button held does not light it;
    // a hover that is already on carries on.
    if ((buttons & Qt::LeftButton) && !m_hovering)
        return;
    if (rect().contains(position.toPoint())) {
        if (!m_hovering) {
            m_hovering = true;
            update();
        }
    } else {
        EndHover();
    }
}

void CIconButton::EndHover()
{
    if (!m_hovering)
        return;
    m_hovering = false;
    update();
}

void CIconButton::MoveFocusAway()
{
    QWidget *parent = parentWidget();
    if (!parent)
        return;
    // The next tab stop after this button among the parent's controls,
    // wrapping round, even when the focus was somewhere else.
    for (QWidget *next = nextInFocusChain(); next && next != this; next = next->nextInFocusChain()) {
        if (parent->isAncestorOf(next) && next->isVisibleTo(parent) && next->isEnabledTo(parent)
            && (next->focusPolicy() & Qt::TabFocus)) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    parent->setFocus(Qt::OtherFocusReason);
}

void CIconButton::ClearImages()
{
    m_icon = QIcon();
    m_iconSize = QSize();
    m_bitmap = QPixmap();
}

void CIconButton::DiscardSnapshot()
{
    m_snapshot = QPixmap();
}

const CIconButton::ColourPair &CIconButton::CurrentColours(bool pressed, bool focused) const
{
    if (m_hovering || pressed)
        return m_active;
    return focused ? m_focused : m_normal;
}

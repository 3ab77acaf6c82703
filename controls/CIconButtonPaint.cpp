// The drawing half of CIconButton: background, frame, image and caption.
#include "controls/CIconButton.h"

#include <QPainter>
#include <QRegion>

namespace {

constexpr int kPressedOffset = 1;
// The skin's accent, as its fields and push buttons show their focus.
const QColor kFocusColour(0x2f, 0x6f, 0xdf);
constexpr int kCaptionFlags = Qt::TextWordWrap | Qt::AlignHCenter | Qt::TextShowMnemonic;

// A one-pixel frame: `topLeft` along the top and left edges, `bottomRight`
// along the bottom and right ones.
void Draw3dRect(QPainter &painter, const QRect &r, const QColor &topLeft, const QColor &bottomRight)
{
    painter.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
}

} // namespace

QPoint CIconButton::PlaceImage(int layout, bool hasCaption, const QRect &item, QRect &caption,
                               bool pressed, int w, int h)
{
    int left = item.left();
    int top = item.top();
    // Halves truncate toward zero, as C++ integer division does.
    const int centredLeft = item.left() + (item.width() - w) / 2;
    const int centredTop = item.top() + (item.height() - h) / 2;
    switch (layout) {
    case ImageLeft:
        if (hasCaption) {
            left += kImageMargin;
            caption.setLeft(caption.left() + w + kImageMargin);
        } else {
            left = centredLeft;
        }
        top = centredTop;
        break;
    case ImageAbove:
        left = centredLeft;
        if (hasCaption) {
            top = kImageMargin;
            caption.setTop(caption.top() + h);
        } else {
            top = centredTop;
        }
        break;
    case ImageRight:
        if (hasCaption) {
            caption.setRight(caption.right() - (caption.left() + kImageMargin + w));
            caption.setLeft(kImageMargin);
            // The item is the client area, so its far edge is the client's.
            left = item.left() + item.width() - kImageMargin - w;
            top = centredTop;
        } else {
            left = centredLeft;
        }
        break;
    default:
        break;
    }
    if (pressed)
        return QPoint(left + kPressedOffset, top + kPressedOffset);
    return QPoint(left, top);
}

void CIconButton::paintEvent(QPaintEvent *event)
{
    if (!m_ownerDraw) {
        QPushButton::paintEvent(event);
        return;
    }
    const bool pressed = isDown();
    const bool focused = hasFocus();
    const bool disabled = !isEnabled();
    const QRect item = rect();

    QPainter painter(this);
    if (m_parentBackground && TakeSnapshot())
        painter.drawPixmap(0, 0, m_snapshot);
    else
        PaintBackground(painter, item, pressed, focused);
    PaintFrame(painter, item, pressed);

    const QString caption = text();
    QRect captionRect = item;
    if (!m_icon.isNull())
        PaintIcon(painter, !caption.isEmpty(), item, captionRect, pressed, disabled);
    if (!m_bitmap.isNull())
        PaintBitmap(painter, !caption.isEmpty(), item, captionRect, pressed);
    if (!caption.isEmpty())
        PaintCaption(painter, caption, captionRect, pressed, focused, disabled);
    if (focused)
        PaintFocus(painter, item);
}

bool CIconButton::TakeSnapshot()
{
    if (!m_snapshot.isNull())
        return true;
    QWidget *parent = parentWidget();
    if (!parent || size().isEmpty())
        return false;
    const qreal ratio = devicePixelRatioF();
    QPixmap snapshot(size() * ratio);
    snapshot.setDevicePixelRatio(ratio);
    // A parent that paints no background of its own shows its window colour.
    snapshot.fill(parent->palette().color(QPalette::Window));
    // Only the parent's own painting: drawing its children would draw this
    // button into its own background.
    parent->render(&snapshot, QPoint(), QRegion(geometry()), QWidget::DrawWindowBackground);
    m_snapshot = snapshot;
    return true;
}

void CIconButton::PaintBackground(QPainter &painter, const QRect &item, bool pressed, bool focused)
{
    painter.fillRect(item, CurrentColours(pressed, focused).background);
}

void CIconButton::PaintFrame(QPainter &painter, const QRect &item, bool pressed)
{
    if (!m_hoverFrame || (!pressed && !m_hovering))
        return;
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor highlight = palette().color(QPalette::Light);
    if (pressed)
        Draw3dRect(painter, item, shadow, highlight);
    else
        Draw3dRect(painter, item, highlight, shadow);
}

void CIconButton::PaintIcon(QPainter &painter, bool hasCaption, const QRect &item, QRect &caption,
                            bool pressed, bool disabled)
{
    const QPoint at = PlaceImage(m_layout, hasCaption, item, caption, pressed, m_iconSize.width(),
                                 m_iconSize.height());
    m_icon.paint(&painter, QRect(at, m_iconSize), Qt::AlignCenter,
                 disabled ? QIcon::Disabled : QIcon::Normal);
}

void CIconButton::PaintBitmap(QPainter &painter, bool hasCaption, const QRect &item, QRect &caption,
                              bool pressed)
{
    // A disabled button shows its bitmap unchanged.
    const QSize size = m_bitmap.deviceIndependentSize().toSize();
    const QPoint at = PlaceImage(m_layout, hasCaption, item, caption, pressed, size.width(),
                                 size.height());
    painter.drawPixmap(at, m_bitmap);
}

void CIconButton::PaintCaption(QPainter &painter, const QString &text, QRect caption, bool pressed,
                               bool focused, bool disabled)
{
    if (pressed)
        caption.translate(kPressedOffset, kPressedOffset);
    // The wrapped text block sits in the middle of the caption area.
    const QSize block = painter.fontMetrics().boundingRect(caption, kCaptionFlags, text).size();
    const QRect where(caption.left() + (caption.width() - block.width()) / 2,
                      caption.top() + (caption.height() - block.height()) / 2, block.width(),
                      block.height());
    if (disabled) {
        // Embossed: a light copy one pixel down and right under a dark one.
        painter.setPen(palette().color(QPalette::Light));
        painter.drawText(where.translated(1, 1), kCaptionFlags, text);
        painter.setPen(palette().color(QPalette::Dark));
    } else {
        painter.setPen(CurrentColours(pressed, focused).text);
    }
    painter.drawText(where, kCaptionFlags, text);
}

void CIconButton::PaintFocus(QPainter &painter, const QRect &item)
{
    // Whoever moves with Tab must see where they are: a flat button has no
    // other sign of it.
    QPen pen(kFocusColour);
    pen.setWidthF(1.5);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(item).adjusted(1, 1, -1, -1), 3, 3);
    painter.restore();
}

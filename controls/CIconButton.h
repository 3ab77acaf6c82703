#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QPushButton>

class QEnterEvent;
class QPainter;

// A flat push button that draws an icon or a small bitmap, optionally with
// its caption, over a snapshot of its parent so that a painted window
// background shows through. Hovering draws a thin raised frame, pressing a
// sunken one and shifts image and caption by one pixel.
//
// The configuration calls keep the numeric results of the original control:
// 0 for success and the documented error numbers where Qt can fail at all.
class CIconButton : public QPushButton
{
    Q_OBJECT

public:
    // Where the image sits against the caption.
    enum Layout { ImageLeft = 0, ImageAbove = 1, ImageRight = 2, ImageTopLeft = 3 };
    static constexpr int kImageMargin = 3;
    static constexpr int kBadLayout = 4;

    explicit CIconButton(QWidget *parent = nullptr);
    explicit CIconButton(const QString &caption, QWidget *parent = nullptr);

    // Shows icon `iconId` at width x height, or at its own size for 0, 0. An
    // unknown icon leaves the button without image.
    void SetIconImage(int iconId, int width = 0, int height = 0);
    // Shows bitmap `bitmapId` at its own size; its pixels of `transparent`
    // let the background through. An unknown bitmap leaves the button
    // without image.
    void SetBitmapImage(int bitmapId, QColor transparent);
    // 0, or kBadLayout (nothing changed) for a layout outside 0..3.
    int SetImageLayout(int layout, bool repaint);
    void SetHoverFrame(bool on, bool repaint);
    // Paint over the parent's pixels; the snapshot is (re)taken at the next
    // paint.
    void UseParentBackground(bool repaint);
    // A null text changes nothing; an inactive tooltip keeps its text.
    void SetToolTipText(const QString &text, bool activate);
    // 0 removes the cursor; so does an id that names no cursor.
    void SetHoverCursor(int cursorId, bool repaint);
    // All colour pairs back to the palette's button colours.
    void ResetColors(bool repaint);
    // Off: the style draws the button and only the behaviour of this class
    // stays (the ".." browse button). On by default.
    void SetOwnerDraw(bool on);

    int ImageLayout() const { return m_layout; }
    bool HoverFrame() const { return m_hoverFrame; }
    bool IsHovering() const { return m_hovering; }
    bool HasImage() const { return !m_icon.isNull() || !m_bitmap.isNull(); }
    QSize ImageSize() const;
    bool HasSnapshot() const { return !m_snapshot.isNull(); }
    QString ToolTipText() const { return m_toolTipText; }

    // Where the image of size w x h goes in `item` for `layout`; moves the
    // caption rectangle out of its way when there is a caption. Pure, so the
    // placement rules can be checked without painting.
    static QPoint PlaceImage(int layout, bool hasCaption, const QRect &item, QRect &caption,
                             bool pressed, int w, int h);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

    virtual void PaintBackground(QPainter &painter, const QRect &item, bool pressed, bool focused);
    virtual void PaintFrame(QPainter &painter, const QRect &item, bool pressed);
    virtual void PaintIcon(QPainter &painter, bool hasCaption, const QRect &item, QRect &caption,
                           bool pressed, bool disabled);
    virtual void PaintBitmap(QPainter &painter, bool hasCaption, const QRect &item, QRect &caption,
                             bool pressed);
    virtual void PaintCaption(QPainter &painter, const QString &text, QRect caption, bool pressed,
                              bool focused, bool disabled);
    // The keyboard focus, drawn on top in the skin's accent colour.
    virtual void PaintFocus(QPainter &painter, const QRect &item);

private:
    struct ColourPair
    {
        QColor background;
        QColor text;
    };

    void UpdateHover(QPointF position, Qt::MouseButtons buttons);
    void EndHover();
    void MoveFocusAway();
    void ClearImages();
    void DiscardSnapshot();
    bool TakeSnapshot();
    const ColourPair &CurrentColours(bool pressed, bool focused) const;

    QIcon m_icon;
    QSize m_iconSize;
    QPixmap m_bitmap;
    QPixmap m_snapshot;
    ColourPair m_active;
    ColourPair m_normal;
    ColourPair m_focused;
    QString m_toolTipText;
    int m_layout = ImageLeft;
    bool m_hoverFrame = true;
    bool m_parentBackground = false;
    bool m_hovering = false;
    bool m_ownerDraw = true;
};

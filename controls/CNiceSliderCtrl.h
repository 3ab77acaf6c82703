#pragma once

#include <QSlider>

// A slider whose thumb jumps to the point the user clicks and then follows
// the mouse, instead of stepping a page per click.
//
// A press sets Pressed() to 1 and Dragging() to true; they stay so until the
// owner clears them, normally when ReleasedCapture() arrives. While Pressed()
// is 1 the owner leaves the thumb alone.
class CNiceSliderCtrl : public QSlider
{
    Q_OBJECT

public:
    explicit CNiceSliderCtrl(QWidget *parent = nullptr);
    explicit CNiceSliderCtrl(Qt::Orientation orientation, QWidget *parent = nullptr);

    int Pressed() const { return m_pressed; }
    void SetPressed(int pressed) { m_pressed = pressed; }
    bool Dragging() const { return m_dragging; }
    void SetDragging(bool dragging) { m_dragging = dragging; }
    // The thumb moved during the current press.
    bool Moved() const { return m_moved; }

    // Puts the thumb at the position under `point` (widget coordinates);
    // true when the stored position changed. Points beyond the channel give
    // positions beyond the range, which the slider clamps.
    bool MoveThumbToPoint(QPoint point);

    // The channel the thumb runs along, in widget coordinates. For a vertical
    // slider it is given transposed, so that its left and right always span
    // the slider's length.
    virtual QRect ChannelRect() const;

signals:
    // The thumb moved under the mouse; `position` is the stored, clamped one.
    void ThumbTrack(int position);
    // The left button was released: the end of a click or drag.
    void ReleasedCapture();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void TrackTo(QPoint point);

    int m_pressed = 0;
    bool m_dragging = false;
    bool m_moved = false;
};

#include "controls/CNiceSliderCtrl.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>
#include <cmath>
#include <limits>

CNiceSliderCtrl::CNiceSliderCtrl(QWidget *parent)
    : CNiceSliderCtrl(Qt::Horizontal, parent)
{
}

CNiceSliderCtrl::CNiceSliderCtrl(Qt::Orientation orientation, QWidget *parent)
    : QSlider(orientation, parent)
{
}

QRect CNiceSliderCtrl::ChannelRect() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    if (orientation() == Qt::Vertical)
        return QRect(groove.y(), groove.x(), groove.height(), groove.width());
    return groove;
}

bool CNiceSliderCtrl::MoveThumbToPoint(QPoint point)
{
    const int min = minimum();
    const int max = maximum();
    const QRect channel = ChannelRect();
    const int along = orientation() == Qt::Vertical ? point.y() : point.x();
    const double d = along - channel.left();
    const double e = channel.width();
    // A slider too small to have a channel has no point to jump to.
    if (e <= 0)
        return false;
    const double r = d / e;
    // min + r * (max - min) + 0.5: the nearest position for a point on the
    // channel.
    const double exact = (1 - r) * 0.5 - r * 0.5 + r * (double(max) - min + 1) + min;
    // Far beyond the channel the value leaves int; it is clamped anyway.
    const double bounded = std::clamp(std::trunc(exact), double(std::numeric_limits<int>::min()),
                                      double(std::numeric_limits<int>::max()));
    const int position = static_cast<int>(bounded);
    if (position == value())
        return false;
    setValue(position);
    return true;
}

void CNiceSliderCtrl::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QSlider::mousePressEvent(event);
        return;
    }
    // The slider's own paging does not run. The press grabs the mouse
    // implicitly until the release, so the drag follows outside the widget.
    m_pressed = 1;
    m_dragging = true;
    m_moved = false;
    setFocus(Qt::MouseFocusReason);
    TrackTo(event->position().toPoint());
    event->accept();
}

void CNiceSliderCtrl::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging) {
        QSlider::mouseMoveEvent(event);
        return;
    }
    TrackTo(event->position().toPoint());
    event->accept();
}

void CNiceSliderCtrl::mouseReleaseEvent(QMouseEvent *event)
{
    QSlider::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        emit ReleasedCapture();
}

void CNiceSliderCtrl::TrackTo(QPoint point)
{
    if (!MoveThumbToPoint(point))
        return;
    m_moved = true;
    emit ThumbTrack(value());
}

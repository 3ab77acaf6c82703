#include "platform/DialogBuilder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTreeView>

#include <algorithm>

namespace {

const char *const kControlIdProperty = "controlId";

// Rounds a * b / c to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c)
{
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

QFrame *MakeFrame(QWidget *parent, QFrame::Shape shape, QFrame::Shadow shadow)
{
    auto *frame = new QFrame(parent);
    frame->setFrameShape(shape);
    frame->setFrameShadow(shadow);
    return frame;
}

Qt::Alignment TextAlignment(unsigned flags)
{
    Qt::Alignment alignment = (flags & kCentre) ? Qt::AlignHCenter : Qt::AlignLeft;
    return alignment | ((flags & kVCentre) ? Qt::AlignVCenter : Qt::AlignTop);
}

} // namespace

DialogBuilder::DialogBuilder(const DialogTemplate &layout)
    : m_layout(layout)
    , m_font(QString::fromUtf8(layout.fontFamily), layout.fontPointSize)
{
    m_font.setStyleHint(QFont::SansSerif);
    // The average width of the letters, as dialog units have always used it.
    const QFontMetrics metrics(m_font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = std::max(1, (letters / 26 + 1) / 2);
    m_baseY = std::max(1, metrics.height());
}

QRect DialogBuilder::ToPixels(int x, int y, int width, int height) const
{
    return {MulDiv(x, m_baseX, 4), MulDiv(y, m_baseY, 8), MulDiv(width, m_baseX, 4),
            MulDiv(height, m_baseY, 8)};
}

int DialogBuilder::ControlId(const QWidget *widget)
{
    return widget ? widget->property(kControlIdProperty).toInt() : 0;
}

QWidget *DialogBuilder::MakeDefault(const ControlTemplate &control, QWidget *parent) const
{
    const QString text = QString::fromUtf8(control.text);
    switch (control.kind) {
    case ControlKind::PushButton:
    case ControlKind::IconButton: {
        auto *button = new QPushButton(text, parent);
        button->setDefault(control.flags & kDefault);
        return button;
    }
    case ControlKind::Static: {
        auto *label = new QLabel(text, parent);
        label->setAlignment(TextAlignment(control.flags));
        label->setWordWrap(!(control.flags & kVCentre));
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    case ControlKind::BlackRect: {
        auto *frame = new QFrame(parent);
        frame->setObjectName(QStringLiteral("blackRect"));
        frame->setAutoFillBackground(true);
        QPalette palette = frame->palette();
        palette.setColor(QPalette::Window, Qt::black);
        frame->setPalette(palette);
        return frame;
    }
    case ControlKind::EtchedHorz: return MakeFrame(parent, QFrame::HLine, QFrame::Sunken);
    case ControlKind::EtchedVert: return MakeFrame(parent, QFrame::VLine, QFrame::Sunken);
    case ControlKind::Frame: return MakeFrame(parent, QFrame::Box, QFrame::Plain);
    case ControlKind::Icon: return new QLabel(parent);
    case ControlKind::ListView: {
        auto *list = new QTreeView(parent);
        list->setRootIsDecorated(false);
        list->setItemsExpandable(false);
        list->setUniformRowHeights(true);
        list->setAllColumnsShowFocus(true);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setSelectionBehavior(QAbstractItemView::SelectRows);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        list->header()->setSectionsMovable(false);
        return list;
    }
    case ControlKind::ComboBox: return new QComboBox(parent);
    case ControlKind::CheckBox: return new QCheckBox(text, parent);
    case ControlKind::RadioButton: return new QRadioButton(text, parent);
    case ControlKind::Edit: return new QLineEdit(text, parent);
    case ControlKind::Slider:
    case ControlKind::NiceSlider: {
        auto *slider = new QSlider(Qt::Horizontal, parent);
        slider->setTickPosition(QSlider::NoTicks);
        return slider;
    }
    case ControlKind::ProgressBar: {
        auto *bar = new QProgressBar(parent);
        bar->setTextVisible(false);
        return bar;
    }
    case ControlKind::Custom: return new QWidget(parent);
    }
    return new QWidget(parent);
}

void DialogBuilder::Build(QWidget *window, const Factory &factory)
{
    window->setWindowTitle(QString::fromUtf8(m_layout.caption));
    window->setFont(m_font);
    const QRect client = ToPixels(0, 0, m_layout.width, m_layout.height);
    window->setFixedSize(client.size());

    for (const ControlTemplate &control : m_layout.controls) {
        QWidget *widget = factory ? factory(control, window) : nullptr;
        if (!widget)
            widget = MakeDefault(control, window);
        widget->setProperty(kControlIdProperty, control.id);
        if (control.id > 0) {
            widget->setObjectName(QStringLiteral("control%1").arg(control.id));
            m_controls.insert(control.id, widget);
        }

        QRect area = ToPixels(control.x, control.y, control.width, control.height);
        // A drop-down list's layout height is that of the box with its list
        // open; closed it is as tall as the style makes it, and the open
        // list shows as many rows of the font as the rest of that height
        // holds (Qt would show ten).
        if (auto *combo = qobject_cast<QComboBox *>(widget);
            combo && control.kind == ControlKind::ComboBox) {
            const int closed = combo->sizeHint().height();
            combo->setMaxVisibleItems(std::max(1, (area.height() - closed) / m_baseY));
            area.setHeight(closed);
        }
        widget->setGeometry(area);

        if (control.flags & kTabStop)
            widget->setFocusPolicy(Qt::StrongFocus);
        else if (widget->focusPolicy() != Qt::NoFocus)
            widget->setFocusPolicy(Qt::ClickFocus);
        widget->setEnabled(!(control.flags & kDisabled));
        widget->setVisible(!(control.flags & kHidden));
        // Earlier controls of a layout lie on top of later ones (the preview
        // over its black backdrop); Qt stacks the other way round.
        widget->lower();
    }
}

#pragma once

#include "platform/DialogTemplate.h"

#include <QFont>
#include <QHash>
#include <QRect>

#include <functional>

class QWidget;

// Turns a layout into child widgets of a window. Controls of the kinds the
// builder does not make itself (or that the window wants made otherwise) come
// from the factory; returning nullptr lets the builder make its default.
class DialogBuilder
{
public:
    using Factory = std::function<QWidget *(const ControlTemplate &, QWidget *parent)>;

    explicit DialogBuilder(const DialogTemplate &layout);

    // Sets the window's caption, font and size and creates every control in
    // layout order (which is also the keyboard's tab order).
    void Build(QWidget *window, const Factory &factory = {});

    // The control with that number, or nullptr.
    QWidget *Control(int id) const { return m_controls.value(id); }
    template <class T>
    T *Control(int id) const { return qobject_cast<T *>(Control(id)); }

    // Dialog units to pixels, rounded as the platform always has.
    QRect ToPixels(int x, int y, int width, int height) const;
    int BaseUnitX() const { return m_baseX; }
    int BaseUnitY() const { return m_baseY; }

    // The number of a control made by a builder, or 0.
    static int ControlId(const QWidget *widget);

private:
    QWidget *MakeDefault(const ControlTemplate &control, QWidget *parent) const;

    const DialogTemplate &m_layout;
    QFont m_font;
    int m_baseX = 6;
    int m_baseY = 13;
    QHash<int, QWidget *> m_controls;
};

#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>

// A label that draws its text in a heavy Arial of its own, for a window's
// title line. Mouse input passes through it to the window beneath.
class CCaptionLabel : public QLabel
{
    Q_OBJECT

public:
    explicit CCaptionLabel(const QString &text, QWidget *parent = nullptr);

    const QFont &CaptionFont() const { return m_font; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QFont m_font;
    QColor m_textColour;
};

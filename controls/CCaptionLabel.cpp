#include "controls/CCaptionLabel.h"

#include <QPainter>

CCaptionLabel::CCaptionLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
    , m_font(QStringLiteral("Arial"))
    , m_textColour(palette().color(QPalette::WindowText))
{
    m_font.setPixelSize(14);
    m_font.setWeight(QFont::Black);
    m_font.setStyleHint(QFont::SansSerif);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CCaptionLabel::paintEvent(QPaintEvent *)
{
    // Transparent, so that a skinned window's shaded face runs on behind the
    // title instead of stopping at a flat patch.
    QPainter painter(this);
    painter.setFont(m_font);
    painter.setPen(m_textColour);
    painter.drawText(contentsRect(), static_cast<int>(alignment()) | Qt::TextSingleLine, text());
}

#include "controls/CLinkLabel.h"

#include "platform/OpenLink.h"
#include "platform/Host.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

CLinkLabel::CLinkLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    setToolTip(LinkTarget());
}

QString CLinkLabel::LinkTarget() const
{
    return m_target.isEmpty() ? text() : m_target;
}

void CLinkLabel::SetLinkTarget(const QString &address)
{
    m_target = address;
    if (text().isEmpty())
        setText(address);
    FitToText();
    setToolTip(LinkTarget());
}

void CLinkLabel::SetUnderlineMode(int mode)
{
    if (mode == m_underlineMode)
        return;
    QFont changed = font();
    changed.setUnderline(mode == 1);
    setFont(changed);
    update();
    m_underlineMode = mode;
}

void CLinkLabel::SetVisited(bool visited)
{
    m_visited = visited;
    update();
}

QColor CLinkLabel::TextColour() const
{
    if (m_hovering)
        return QColor(kHoverColour);
    return QColor(m_visited ? kVisitedColour : kUnvisitedColour);
}

void CLinkLabel::FitToText()
{
    if (!m_fitToText)
        return;
    QFont underlined = font();
    underlined.setUnderline(true);
    const QSize textSize = QFontMetrics(underlined).size(Qt::TextSingleLine, text());
    const QRect old = geometry();
    const int width = textSize.width() + (old.width() - contentsRect().width());
    const int height = textSize.height() + (old.height() - contentsRect().height());

    const Qt::Alignment align = alignment();
    const int top = (align & Qt::AlignVCenter) ? old.top() + (old.height() - height) / 2 : old.top();
    int left = old.left();
    if (align & Qt::AlignHCenter)
        left += (old.width() - width) / 2;
    else if (align & Qt::AlignRight)
        left += old.width() - width;
    setGeometry(left, top, width, height);
}

void CLinkLabel::OnClicked()
{
    m_hovering = false;
    const QString target = LinkTarget();
    const int result = OpenLink(target, kShowNormal);
    SetVisited(result > 32);
    if (!m_visited) {
        QApplication::beep();
        ReportLinkError(result, target);
    }
}

void CLinkLabel::paintEvent(QPaintEvent *)
{
    // No background: the window's own shows through, as with any label.
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(TextColour());
    painter.drawText(contentsRect(), static_cast<int>(alignment()) | Qt::TextSingleLine, text());
}

void CLinkLabel::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_hovering) {
        m_hovering = true;
        update();
        m_hoverTimer.start(kHoverPollMs, this);
    }
    QLabel::mouseMoveEvent(event);
}

void CLinkLabel::mousePressEvent(QMouseEvent *event)
{
    QLabel::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
}

void CLinkLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double-click is not a second click: the address
    // opened at the first release is not opened again.
    event->accept();
}

void CLinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    const bool click = m_pressed && event->button() == Qt::LeftButton
        && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_pressed = false;
    if (click)
        OnClicked();
}

void CLinkLabel::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_hoverTimer.timerId()
        && !rect().contains(mapFromGlobal(QCursor::pos()))) {
        m_hovering = false;
        m_hoverTimer.stop();
        update();
    }
    QLabel::timerEvent(event);
}

QString LinkErrorText(int code)
{
    struct Entry {
        int code;
        const char *text;
    };
    static const Entry kTexts[] = {
        {0, "The operating system is out\nof memory or resources."},
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied\naccess to the specified file."},
        {8, "There was not enough memory to complete the operation."},
        {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {26, "A sharing violation occurred. "},
        {27, "The filename association is\nincomplete or invalid."},
        {28, "The DDE transaction could not\nbe completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30, "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
        {31, "There is no application associated\nwith the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
    };
    QString reason = QStringLiteral("Unknown Error (%1) occurred.").arg(code);
    for (const Entry &entry : kTexts) {
        if (entry.code == code)
            reason = QLatin1String(entry.text);
    }
    return QStringLiteral("Unable to open hyperlink:\n\n") + reason;
}

void ReportLinkError(int code, const QString &address)
{
    Host::Instance().MessageBox(LinkErrorText(code), Host::ApplicationTitle(), Host::Buttons::Ok,
                                Host::Icon::Warning, address);
}

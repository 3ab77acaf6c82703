#pragma once

#include <QBasicTimer>
#include <QColor>
#include <QLabel>

// A label that behaves as a hyperlink: blue text, purple once its address
// has been opened, red while the mouse is over it; a hand cursor; the
// address as its tooltip; a click opens the address. It sizes itself to its
// text, keeping the edge or centre its alignment names.
class CLinkLabel : public QLabel
{
    Q_OBJECT

public:
    static constexpr QRgb kUnvisitedColour = qRgb(0, 0, 238);
    static constexpr QRgb kVisitedColour = qRgb(85, 26, 139);
    static constexpr QRgb kHoverColour = qRgb(255, 0, 0);
    static constexpr int kHoverPollMs = 100;

    explicit CLinkLabel(const QString &text, QWidget *parent = nullptr);

    // The address to open, also shown as the tooltip; a label without one
    // opens its own text.
    void SetLinkTarget(const QString &address);
    QString LinkTarget() const;

    // 1: underlined text; any other value: plain. Until the first call the
    // label keeps the font it was made with.
    void SetUnderlineMode(int mode);
    int UnderlineMode() const { return m_underlineMode; }

    void SetVisited(bool visited);
    bool IsVisited() const { return m_visited; }
    bool IsHovering() const { return m_hovering; }
    QColor TextColour() const;

    // Resizes the label to its text (when fitting is on, as it is at first).
    void SetFitToText(bool fit) { m_fitToText = fit; }
    void FitToText();

    // Opens the address as a click does; a failure beeps and says why.
    void OnClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    QString m_target;
    bool m_hovering = false;
    bool m_visited = false;
    bool m_pressed = false;  // a press on the label waits for its release
    int m_underlineMode = -1;
    bool m_fitToText = true;
    // The end of a hover is found by looking where the cursor is, so a
    // window that pops up over the label cannot leave it red.
    QBasicTimer m_hoverTimer;
};

// "Unable to open hyperlink:" and what the code of a failed open means.
QString LinkErrorText(int code);

// Shows that text in a warning box captioned with the program's title, with
// the address below it, where it can be selected and copied into a browser
// by hand.
void ReportLinkError(int code, const QString &address);

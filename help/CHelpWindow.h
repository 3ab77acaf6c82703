#pragma once

#include <QStyle>
#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QToolButton;

// The program's help window: the help pages with back, forward and home.
// Links between pages stay in the window; links to the web open in the
// person's browser.
class CHelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit CHelpWindow(QWidget *parent = nullptr);

    // Shows the page (which becomes the home page) and brings the window up.
    void ShowTopic(const QString &file);

    QTextBrowser *Browser() const { return m_browser; }
    QToolButton *BackButton() const { return m_back; }
    QToolButton *ForwardButton() const { return m_forward; }

    void OnLinkClicked(const QUrl &link);
    void OnHome();

private:
    QToolButton *AddButton(const QString &text, QStyle::StandardPixmap icon);

    QTextBrowser *m_browser = nullptr;
    QToolButton *m_back = nullptr;
    QToolButton *m_forward = nullptr;
    QUrl m_home;
    bool m_placed = false;
};

#pragma once

#include <QPointer>
#include <QString>

class CHelpWindow;
class QWidget;

// The help command that shows a page.
constexpr int HH_DISPLAY_TOPIC = 0;

// The help pages: "help/" in the program folder, shown in the program's own
// help window. The first request finds out whether the pages are there; if
// they are not, every later request fails at once without looking again,
// as a help viewer that could not be loaded stays unloaded.
class HtmlHelp
{
public:
    // Shows `file` for HH_DISPLAY_TOPIC; other commands are not offered.
    // Nonzero when the page is being shown. With no owner the help window
    // belongs to the active modal window, so it takes input while that runs.
    int Call(QWidget *owner, const QString &file, int command, int data);

    bool Failed() const { return m_failed; }
    CHelpWindow *Window() const;

private:
    bool m_loaded = false;
    bool m_failed = false;
    QPointer<CHelpWindow> m_window;  // one window, reused; gone with its owner
};

// The process's one help viewer.
int CallHtmlHelp(QWidget *owner, const QString &file, int command, int data);

// The first page of the help, in the program folder.
QString HelpOverviewPath();

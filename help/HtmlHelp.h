#pragma once

#include <QPointer>
#include <QString>

class CHelpWindow;
class QWidget;

// The help command that shows a page.
constexpr int HH_DISPLAY_TOPIC = 0;

// The help pages: "help/" in the program folder, shown in the program's own
// help window. Pages that are missing are reported each time they are asked
// for, and looked for again the next time, so putting them back helps at once.
class HtmlHelp
{
public:
    // Shows `file` for HH_DISPLAY_TOPIC; other commands are not offered.
    // Nonzero when the page is being shown. With no owner the help window
    // belongs to the active modal window, so it takes input while that runs.
    int Call(QWidget *owner, const QString &file, int command, int data);

    CHelpWindow *Window() const;

private:
    QPointer<CHelpWindow> m_window;  // one window, reused; gone with its owner
};

// The process's one help viewer.
int CallHtmlHelp(QWidget *owner, const QString &file, int command, int data);

// The first page of the help, in the program folder.
QString HelpOverviewPath();

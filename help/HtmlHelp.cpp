#include "help/HtmlHelp.h"

#include "engine/CommandLine.h"
#include "help/CHelpWindow.h"

#include <QApplication>
#include <QFileInfo>

int HtmlHelp::Call(QWidget *owner, const QString &file, int command, int data)
{
    Q_UNUSED(data);
    if (!m_loaded && !m_failed) {
        m_loaded = QFileInfo(file).isFile();
        m_failed = !m_loaded;
    }
    if (m_failed || command != HH_DISPLAY_TOPIC)
        return 0;
    if (!m_window)
        m_window = new CHelpWindow(owner ? owner : QApplication::activeModalWidget());
    m_window->ShowTopic(file);
    return 1;
}

CHelpWindow *HtmlHelp::Window() const
{
    return m_window;
}

int CallHtmlHelp(QWidget *owner, const QString &file, int command, int data)
{
    static HtmlHelp viewer;
    return viewer.Call(owner, file, command, data);
}

QString HelpOverviewPath()
{
    return GetProgramFolder() + QLatin1String("help/overview/overview.htm");
}

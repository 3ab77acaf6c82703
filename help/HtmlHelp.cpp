#include "help/HtmlHelp.h"

#include "engine/ProgramFolder.h"
#include "help/CHelpWindow.h"
#include "platform/Host.h"

#include <QApplication>
#include <QFileInfo>

int HtmlHelp::Call(QWidget *owner, const QString &file, int command, int data)
{
    Q_UNUSED(data);
    if (command != HH_DISPLAY_TOPIC)
        return 0;
    if (!QFileInfo(file).isFile()) {
        // Silence would look like a dead menu item.
        Host::Instance().MessageBox(
            QStringLiteral("The help pages cannot be found. Kelvaro looked for them in\n%1").arg(file),
            Host::ApplicationTitle(), Host::Buttons::Ok, Host::Icon::Warning);
        return 0;
    }
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

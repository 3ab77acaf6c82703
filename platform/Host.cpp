#include "platform/Host.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {
Host *g_host = nullptr;
}

Host &Host::Instance()
{
    Q_ASSERT_X(g_host, "Host::Instance", "no host installed");
    return *g_host;
}

void Host::Install(Host *host)
{
    g_host = host;
}

QString Host::ApplicationTitle()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

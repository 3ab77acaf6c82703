#include "platform/SystemHost.h"

#include "platform/ProcessStart.h"

#include <QCoreApplication>

SystemHost::SystemHost()
{
    m_clock.start();
}

qint64 SystemHost::StartProgram(const QString &program, const QStringList &arguments, int inheritedFd,
                                const QStringList &environment)
{
    return StartProgramWithDescriptor(program, arguments, inheritedFd, environment);
}

std::uint32_t SystemHost::TickCount()
{
    return static_cast<std::uint32_t>(m_clock.elapsed());
}

QString SystemHost::ProgramFolder()
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/');
}

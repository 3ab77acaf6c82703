#include "platform/SystemHost.h"

#include "platform/ProcessStart.h"
#include "platform/WarmStart.h"

#include <QCoreApplication>

SystemHost::SystemHost()
{
    m_clock.start();
}

SystemHost::~SystemHost() = default;

void SystemHost::StartWarm(const QString &program)
{
    m_warm = std::make_unique<WarmStart>(program);
}

qint64 SystemHost::StartProgram(const QString &program, const QStringList &arguments, int inheritedFd,
                                const QStringList &environment)
{
    if (m_warm) {
        if (const std::optional<qint64> pid = m_warm->Start(program, arguments, inheritedFd, environment))
            return *pid;
    }
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

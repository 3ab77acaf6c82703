#pragma once

#include "platform/Host.h"

#include <QElapsedTimer>

#include <memory>

class WarmStart;

// What every real host does alike, with windows or without: programs start
// through ProcessStart, the clock counts from the host's making, and the
// program folder is that of the running executable.
class SystemHost : public Host
{
public:
    SystemHost();
    ~SystemHost() override;

    // From now on, jobs of `program` start through a server it runs itself,
    // which has its libraries loaded already (see WarmStart); other programs
    // start as before.
    void StartWarm(const QString &program);

    qint64 StartProgram(const QString &program, const QStringList &arguments, int inheritedFd,
                        const QStringList &environment) override;
    std::uint32_t TickCount() override;
    QString ProgramFolder() override;

private:
    QElapsedTimer m_clock;
    std::unique_ptr<WarmStart> m_warm;
};

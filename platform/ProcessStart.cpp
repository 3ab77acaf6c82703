#include "platform/ProcessStart.h"

#include <QCoreApplication>
#include <QProcess>

#include <fcntl.h>

bool StartProgramWithDescriptor(const QString &program, const QStringList &arguments,
                                int inheritedFd)
{
    // Parented to the application so that it outlives the caller; deleting a
    // running QProcess would kill the encoder.
    auto *process = new QProcess(QCoreApplication::instance());
    process->setProgram(program);
    process->setArguments(arguments);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    if (inheritedFd >= 0) {
        process->setChildProcessModifier([inheritedFd] {
            // Runs in the child between fork and exec: only async-signal-safe
            // calls here.
            const int flags = ::fcntl(inheritedFd, F_GETFD);
            if (flags >= 0)
                ::fcntl(inheritedFd, F_SETFD, flags & ~FD_CLOEXEC);
        });
    }
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->start();
    if (!process->waitForStarted()) {
        delete process;
        return false;
    }
    return true;
}

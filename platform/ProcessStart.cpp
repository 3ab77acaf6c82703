#include "platform/ProcessStart.h"

#include <QProcess>
#include <QSet>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The programs still running. Held here rather than by a parent object (see
// below); the set also keeps them reachable for leak checkers at exit.
QSet<QProcess *> &Running()
{
    // Never destroyed: the encoders may outlive every static object.
    static auto *running = new QSet<QProcess *>;
    return *running;
}

} // namespace

qint64 StartProgramWithDescriptor(const QString &program, const QStringList &arguments,
                                  int inheritedFd, const std::function<void()> &childSetup)
{
    // Deliberately without a parent: deleting a running QProcess kills the
    // program outright, and an encoder killed that way cannot remove its
    // unfinished output. Left alone, an encoder whose program has gone sees
    // its channel close and cleans up by itself. The object deletes itself
    // when the program ends.
    auto *process = new QProcess;
    process->setProgram(program);
    process->setArguments(arguments);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setChildProcessModifier([inheritedFd, childSetup] {
        // Runs in the child between fork and exec: only async-signal-safe
        // calls here.
        // A group of its own: Ctrl+C in the terminal reaches the program,
        // which decides what its encoders do, not the encoders behind its
        // back.
        ::setpgid(0, 0);
        if (inheritedFd >= 0) {
            const int flags = ::fcntl(inheritedFd, F_GETFD);
            if (flags >= 0)
                ::fcntl(inheritedFd, F_SETFD, flags & ~FD_CLOEXEC);
        }
        if (childSetup)
            childSetup();
    });
    process->start();
    if (!process->waitForStarted()) {
        delete process;
        return 0;
    }
    const qint64 pid = process->processId();
    QObject::connect(process, &QProcess::finished, process, [process, pid] {
        Running().remove(process);
        process->deleteLater();
        Q_EMIT ProgramEnds::Instance().Ended(pid);
    });
    Running().insert(process);
    return pid;
}

int RunningPrograms()
{
    return int(Running().size());
}

ProgramEnds &ProgramEnds::Instance()
{
    // Never destroyed, like the set of running programs.
    static auto *instance = new ProgramEnds;
    return *instance;
}

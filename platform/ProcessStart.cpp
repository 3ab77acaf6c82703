#include "platform/ProcessStart.h"

#include "platform/FileNames.h"

#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <vector>

#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Programs started here and not reaped yet.
int g_running = 0;

} // namespace

// A pidfd becomes readable when its process ends; where the system offers
// none, the child is looked at ten times a second. Either watch belongs to
// the never-destroyed ProgramEnds: an encoder may outlive everything else.
void ReapWhenEnded(qint64 started)
{
    const auto pid = static_cast<pid_t>(started);
    ++g_running;
    ProgramEnds *ends = &ProgramEnds::Instance();
    const auto reaped = [pid] {
        int status = 0;
        // -1 (nothing to reap) would mean somebody else reaped it: ended too.
        return ::waitpid(pid, &status, WNOHANG) != 0;
    };
    const auto ended = [pid, ends] {
        --g_running;
        Q_EMIT ends->Ended(pid);
    };
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));  // close-on-exec
    if (pidfd >= 0) {
        auto *notifier = new QSocketNotifier(pidfd, QSocketNotifier::Read, ends);
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier, pidfd, reaped, ended] {
            if (!reaped())
                return;
            notifier->setEnabled(false);
            notifier->deleteLater();
            ::close(pidfd);
            ended();
        });
        return;
    }
    auto *poll = new QTimer(ends);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, reaped, ended] {
        if (!reaped())
            return;
        poll->stop();
        poll->deleteLater();
        ended();
    });
    poll->start(100);
}

qint64 StartProgramWithDescriptor(const QString &program, const QStringList &arguments,
                                  int inheritedFd, const QStringList &environment,
                                  const std::function<void()> &childSetup)
{
    const qint64 pid = LaunchProgram(program, arguments, inheritedFd, environment, childSetup);
    if (pid != 0)
        ReapWhenEnded(pid);
    return pid;
}

qint64 LaunchProgram(const QString &program, const QStringList &arguments, int inheritedFd,
                     const QStringList &environment, const std::function<void()> &childSetup)
{
    // Everything the child needs is made before the fork: after it, only
    // async-signal-safe calls. The words are the names' own bytes, so a
    // file whose name is not UTF-8 reaches the program as it is.
    std::vector<QByteArray> words;
    words.push_back(FileNameBytes(program));
    for (const QString &argument : arguments)
        words.push_back(FileNameBytes(argument));
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    // Ours, where the additions take the place of a setting of that name.
    std::vector<QByteArray> settings;
    for (const QString &setting : environment)
        settings.push_back(setting.toLocal8Bit());
    std::vector<char *> envp;
    for (QByteArray &setting : settings)
        envp.push_back(setting.data());
    for (char **inherited = environ; inherited && *inherited; ++inherited) {
        const QByteArray setting(*inherited);
        const QByteArray name = setting.left(setting.indexOf('=') + 1);
        const bool replaced = std::any_of(settings.begin(), settings.end(),
                                          [&name](const QByteArray &added) { return added.startsWith(name); });
        if (!replaced)
            envp.push_back(*inherited);
    }
    envp.push_back(nullptr);

    // The child reports here why the program could not be started; the
    // pipe closes without a word when it could.
    int report[2] = {-1, -1};
    if (::pipe2(report, O_CLOEXEC) != 0)
        return 0;
    const pid_t pid = ::fork();
    if (pid == 0) {
        // A group of its own: Ctrl+C in the terminal reaches the program,
        // which decides what its encoders do, not the encoders behind its
        // back.
        ::setpgid(0, 0);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        const int empty = ::open("/dev/null", O_RDONLY);
        if (empty > STDIN_FILENO) {
            ::dup2(empty, STDIN_FILENO);
            ::close(empty);
        }
        if (inheritedFd >= 0) {
            const int flags = ::fcntl(inheritedFd, F_GETFD);
            if (flags >= 0)
                ::fcntl(inheritedFd, F_SETFD, flags & ~FD_CLOEXEC);
        }
        if (childSetup)
            childSetup();
        ::execve(argv[0], argv.data(), envp.data());
        const int error = errno;
        [[maybe_unused]] const ssize_t written = ::write(report[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(report[1]);
    if (pid < 0) {
        ::close(report[0]);
        return 0;
    }
    int error = 0;
    ssize_t got = 0;
    do
        got = ::read(report[0], &error, sizeof error);
    while (got < 0 && errno == EINTR);
    ::close(report[0]);
    if (got > 0) {
        ::waitpid(pid, nullptr, 0);
        return 0;
    }
    return pid;
}

int RunningPrograms()
{
    return g_running;
}

ProgramEnds &ProgramEnds::Instance()
{
    // Never destroyed: the encoders may outlive every static object.
    static auto *instance = new ProgramEnds;
    return *instance;
}

#include "tests/morlenc/MorlencRunner.h"

#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace MorlencRunner {

QString Program()
{
    return QStringLiteral(KELVARO_PROGRAM_DIR "morlenc");
}

QStringList Arguments(const QString &source, const QString &output, int mode, int handle,
                      const Options &options)
{
    namespace G = EncoderGrammar;
    QStringList arguments(G::kArgumentCount);
    for (const G::FixedToken &fixed : G::kFixedTokens)
        arguments[fixed.place] = QString::fromLatin1(fixed.text);
    arguments[G::kSource] = source;
    arguments[G::kOutput] = output;
    arguments[G::kAudioFilter] = options.audioFilter;
    arguments[G::kVideoFilter] = options.videoFilter;
    arguments[G::kCodecOptions] = QString::fromLatin1(G::kCodecHead) + QString::number(options.videoKbps)
        + QString::fromLatin1(G::kCodecMiddle) + QString::number(options.audioKbps);
    arguments[G::kEndPosition] = options.end;
    arguments[G::kMode] = QString::number(mode);
    arguments[G::kHandle] = QString::number(handle);
    return arguments;
}

Result Run(const QStringList &arguments, int timeoutMs, bool asUser)
{
    QProcess process;
    if (asUser) {
        process.setChildProcessModifier([] {
            constexpr unsigned kNobody = 65534;
            if (::geteuid() == 0
                && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
                ::_exit(127);
        });
    }
    process.start(Program(), arguments);
    Result result;
    if (!process.waitForStarted())
        return result;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
    } else if (process.exitStatus() == QProcess::NormalExit) {
        result.exitCode = process.exitCode();
    }
    result.lines = process.readAllStandardOutput().split('\n');
    if (!result.lines.isEmpty() && result.lines.last().isEmpty())
        result.lines.removeLast();
    result.errors = process.readAllStandardError();
    return result;
}

ChannelJob::~ChannelJob()
{
    CloseChannel();
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

bool ChannelJob::Start(const QString &source, const QString &output, int mode,
                       const Options &options)
{
    return StartWith(Arguments(source, output, mode, -1, options));
}

bool ChannelJob::StartWith(QStringList arguments)
{
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        return false;
    m_fd = fds[0];
    const int child = fds[1];
    // Only the child's end survives exec in the child.
    m_process.setChildProcessModifier([child] {
        fcntl(child, F_SETFD, fcntl(child, F_GETFD) & ~FD_CLOEXEC);
    });
    arguments.last() = QString::number(child);
    m_process.start(Program(), arguments);
    const bool started = m_process.waitForStarted();
    // Our copy of the child's end must go, or the stream never ends.
    close(child);
    return started;
}

QByteArray ChannelJob::ReadLine(int timeoutMs)
{
    while (!m_pending.contains('\n') && m_fd >= 0) {
        pollfd waiting{m_fd, POLLIN, 0};
        if (poll(&waiting, 1, timeoutMs) <= 0)
            return {};
        QByteArray buffer(256, '\0');
        const ssize_t n = read(m_fd, buffer.data(), static_cast<size_t>(buffer.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return {};
        m_pending.append(buffer.left(n));
    }
    const qsizetype end = m_pending.indexOf('\n');
    if (end < 0)
        return {};
    const QByteArray line = m_pending.left(end);
    m_pending.remove(0, end + 1);
    return line;
}

void ChannelJob::Answer(const QByteArray &answer)
{
    if (m_fd >= 0 && write(m_fd, answer.constData(), static_cast<size_t>(answer.size())) < 0)
        CloseChannel();
}

void ChannelJob::CloseChannel()
{
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
}

} // namespace MorlencRunner

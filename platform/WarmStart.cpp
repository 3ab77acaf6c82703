#include "platform/WarmStart.h"

#include "platform/FileNames.h"
#include "platform/ProcessStart.h"
#include "platform/WarmStartRequest.h"

#include <QDir>
#include <QElapsedTimer>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The server answers as soon as it has copied itself; a server that takes
// longer than this is stuck and is not asked again.
constexpr int kAnswerMs = 5000;

// Waits for the socket to have something to read, or to close.
bool Readable(int socket, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        pollfd watch{socket, POLLIN, 0};
        const int left = timeoutMs - static_cast<int>(clock.elapsed());
        const int result = ::poll(&watch, 1, left > 0 ? left : 0);
        if (result >= 0 || errno != EINTR)
            return result > 0;
    }
}

} // namespace

WarmStart::WarmStart(const QString &program)
    : m_program(program)
{
    int ends[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0)
        return;
    m_socket = ends[0];
    m_server = LaunchProgram(program, {QStringLiteral("--serve"), QString::number(ends[1])}, ends[1]);
    ::close(ends[1]);
    if (m_server == 0)
        Drop();
}

WarmStart::~WarmStart()
{
    Drop();
}

bool WarmStart::Ready()
{
    if (m_ready || m_socket < 0 || !Readable(m_socket, 0))
        return m_ready;
    char word = 0;
    if (::recv(m_socket, &word, 1, MSG_DONTWAIT) == 1 && word == kWarmStartReady)
        m_ready = true;
    else
        Drop();  // a program that does not serve: it has ended
    return m_ready;
}

void WarmStart::Drop()
{
    if (m_socket >= 0)
        ::close(m_socket);
    m_socket = -1;
    m_ready = false;
    if (m_server != 0) {
        // It has nothing worth keeping: every job runs in a process of its own.
        ::kill(static_cast<pid_t>(m_server), SIGKILL);
        ::waitpid(static_cast<pid_t>(m_server), nullptr, 0);
    }
    m_server = 0;
}

std::optional<qint64> WarmStart::Start(const QString &program, const QStringList &arguments, int inheritedFd,
                                       const QStringList &environment)
{
    if (program != m_program || !Ready())
        return std::nullopt;
    WarmStartRequest request;
    request.descriptor = inheritedFd;
    request.directory = FileNameBytes(QDir::currentPath()).toStdString();
    request.arguments.push_back(FileNameBytes(m_program).toStdString());
    for (const QString &argument : arguments)
        request.arguments.push_back(FileNameBytes(argument).toStdString());
    for (const QString &setting : environment)
        request.environment.push_back(setting.toLocal8Bit().toStdString());
    std::string bytes = EncodeWarmStartRequest(request);

    iovec part{bytes.data(), bytes.size()};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    std::vector<char> control;
    if (inheritedFd >= 0) {
        control.resize(CMSG_SPACE(sizeof(int)));
        message.msg_control = control.data();
        message.msg_controllen = control.size();
        cmsghdr *header = CMSG_FIRSTHDR(&message);
        header->cmsg_level = SOL_SOCKET;
        header->cmsg_type = SCM_RIGHTS;
        header->cmsg_len = CMSG_LEN(sizeof(int));
        std::memcpy(CMSG_DATA(header), &inheritedFd, sizeof(int));
    }
    ssize_t sent = 0;
    do
        sent = ::sendmsg(m_socket, &message, MSG_NOSIGNAL);
    while (sent < 0 && errno == EINTR);
    // A message arrives whole or not at all: what was not sent started nothing.
    if (sent != static_cast<ssize_t>(bytes.size())) {
        if (errno != EMSGSIZE)
            Drop();
        return std::nullopt;
    }

    std::int64_t answer = 0;
    if (!Readable(m_socket, kAnswerMs)
        || ::recv(m_socket, &answer, sizeof answer, MSG_DONTWAIT) != static_cast<ssize_t>(sizeof answer)) {
        Drop();
        return 0;
    }
    if (answer <= 0)
        return std::nullopt;  // the server could not make the process: nothing runs
    ReapWhenEnded(answer);
    return answer;
}

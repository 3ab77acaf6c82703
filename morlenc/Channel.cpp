#include "morlenc/Channel.h"

#include "morlenc/Failure.h"
#include "platform/EncoderContract.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace morlenc {

Channel::Channel(int handle)
    : m_fd(handle < 0 ? STDOUT_FILENO : handle)
    , m_answered(handle >= 0)
{
}

void Channel::Send(int code, int value)
{
    const std::string line = std::to_string(code) + " " + std::to_string(value) + "\n";
    std::size_t written = 0;
    while (written < line.size()) {
        const ssize_t n = write(m_fd, line.data() + written, line.size() - written);
        if (n < 0 && errno == EINTR && !StopSignalled())
            continue;
        if (n <= 0)
            throw Stopped{};
        written += static_cast<std::size_t>(n);
    }
}

void Channel::Progress(int seconds)
{
    Send(ENC_PROGRESS, seconds);
    if (!m_answered)
        return;
    // One byte at a time, so nothing past the answer's line is consumed.
    std::string answer;
    for (;;) {
        if (!WaitReadable(m_fd))
            throw Stopped{};
        char c = 0;
        const ssize_t n = read(m_fd, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || answer.size() > 8)
            throw Stopped{};
        if (c == '\n')
            break;
        answer += c;
    }
    if (answer != "0")
        throw Stopped{};
}

bool IsUsableHandle(int handle)
{
    return handle < 0 || fcntl(handle, F_GETFD) != -1;
}

} // namespace morlenc

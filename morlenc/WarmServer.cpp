#include "morlenc/WarmServer.h"

#include "platform/WarmStartRequest.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <sched.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace morlenc {

namespace {

struct Received {
    bool ended = false;
    std::optional<WarmStartRequest> request;
    int descriptor = -1;  // passed along with the request, ours to close
};

Received Receive(int handle)
{
    Received received;
    ssize_t size = 0;
    do
        size = ::recv(handle, nullptr, 0, MSG_PEEK | MSG_TRUNC);
    while (size < 0 && errno == EINTR);
    if (size <= 0) {
        received.ended = true;
        return received;
    }
    std::vector<char> bytes(static_cast<std::size_t>(size));
    std::vector<char> control(CMSG_SPACE(sizeof(int)));
    iovec part{bytes.data(), bytes.size()};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control.data();
    message.msg_controllen = control.size();
    ssize_t got = 0;
    do
        got = ::recvmsg(handle, &message, MSG_CMSG_CLOEXEC);
    while (got < 0 && errno == EINTR);
    if (got <= 0) {
        received.ended = true;
        return received;
    }
    for (cmsghdr *header = CMSG_FIRSTHDR(&message); header; header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level == SOL_SOCKET && header->cmsg_type == SCM_RIGHTS
            && header->cmsg_len >= CMSG_LEN(sizeof(int)))
            std::memcpy(&received.descriptor, CMSG_DATA(header), sizeof(int));
    }
    received.request = DecodeWarmStartRequest(std::string_view(bytes.data(), static_cast<std::size_t>(got)));
    // A descriptor named but not passed (or passed but not named) is a
    // request this server does not understand.
    if (received.request && (received.request->descriptor >= 0) != (received.descriptor >= 0))
        received.request.reset();
    return received;
}

// In the new process: set up as a program started the usual way would be,
// then run it.
[[noreturn]] void RunJob(int handle, const WarmStartRequest &request, int passed, MainFunction main)
{
    if (passed >= 0 && passed != request.descriptor) {
        ::dup2(passed, request.descriptor);
        ::close(passed);
    }
    if (handle != request.descriptor)
        ::close(handle);
    // A group of its own, as every job has: Ctrl+C reaches the window
    // program, which decides what its encoders do.
    ::setpgid(0, 0);
    // Where a program started the usual way would be; the requester moves
    // into the output folder as it makes it.
    [[maybe_unused]] const int moved = ::chdir(request.directory.c_str());
    for (const std::string &setting : request.environment) {
        const std::size_t equals = setting.find('=');
        ::setenv(setting.substr(0, equals).c_str(), setting.substr(equals + 1).c_str(), 1);
    }
    std::vector<std::string> words = request.arguments;
    std::vector<char *> argv;
    for (std::string &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    std::exit(main(static_cast<int>(words.size()), argv.data()));
}

} // namespace

int Serve(int handle, MainFunction main)
{
    if (::send(handle, &kWarmStartReady, 1, MSG_NOSIGNAL) != 1)
        return 1;
    for (;;) {
        const Received received = Receive(handle);
        if (received.ended)
            return 0;
        std::int64_t answer = -EINVAL;
        if (received.request) {
            // Nothing buffered may be written twice, once by each process.
            std::fflush(nullptr);
            const long pid = ::syscall(SYS_clone, CLONE_PARENT | SIGCHLD, nullptr, nullptr, nullptr, nullptr);
            if (pid == 0)
                RunJob(handle, *received.request, received.descriptor, main);
            answer = pid > 0 ? pid : -errno;
        }
        if (received.descriptor >= 0)
            ::close(received.descriptor);
        if (::send(handle, &answer, sizeof answer, MSG_NOSIGNAL) != static_cast<ssize_t>(sizeof answer))
            return 1;
    }
}

} // namespace morlenc

#pragma once

#include <unistd.h>

// While alive, file access is checked as an ordinary user (the effective ids
// change; the real ones stay root's, so the change can be undone), so tests
// of permission failures mean the same when they run as root (as on CI),
// where permission bits alone would not bind.
class Unprivileged
{
public:
    Unprivileged()
    {
        if (::getuid() == 0) {
            [[maybe_unused]] const int group = ::setegid(kNobody);
            [[maybe_unused]] const int user = ::seteuid(kNobody);
        }
    }
    ~Unprivileged()
    {
        if (::getuid() == 0) {
            [[maybe_unused]] const int user = ::seteuid(0);
            [[maybe_unused]] const int group = ::setegid(0);
        }
    }
    Unprivileged(const Unprivileged &) = delete;
    Unprivileged &operator=(const Unprivileged &) = delete;

private:
    static constexpr unsigned kNobody = 65534;
};

#pragma once

#include <sys/fsuid.h>
#include <unistd.h>

// While alive, file access is checked as an ordinary user, so tests of
// permission failures mean the same when they run as root (as on CI), where
// permission bits alone would not bind.
class Unprivileged
{
public:
    Unprivileged()
    {
        if (::geteuid() == 0) {
            ::setfsgid(kNobody);
            ::setfsuid(kNobody);
        }
    }
    ~Unprivileged()
    {
        if (::geteuid() == 0) {
            ::setfsuid(0);
            ::setfsgid(0);
        }
    }
    Unprivileged(const Unprivileged &) = delete;
    Unprivileged &operator=(const Unprivileged &) = delete;

private:
    static constexpr unsigned kNobody = 65534;
};

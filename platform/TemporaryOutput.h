#pragma once

// The temporary file a conversion writes before its output gets its final
// name, shared by the encoder (which makes it) and the window program (which
// removes what a killed encoder left). Plain C++ and POSIX, no Qt: both
// sides build it.
//
//   .morlenc-<host>-<pid>-<n>.part
//
// <host> names the computer (eight hex digits, HostId), <pid> the encoder's
// process, <n> a number that makes the name free. The encoder holds a write
// lock on the file (an open file description lock, which the file system
// shares between computers where it can) from the moment it made it until
// it has renamed or removed it. A file is abandoned only if all of these
// hold: its name is exactly of this form, it was made on this computer, no
// process of that number runs here, and its lock can be taken. Output
// folders are often shared or on a player's own file system: where locks
// are not honoured, a file is never judged abandoned.

#include <optional>
#include <string>
#include <string_view>

namespace TemporaryOutput {

constexpr std::string_view kPrefix = ".morlenc-";
constexpr std::string_view kSuffix = ".part";

// This computer, as eight lowercase hex digits: from its machine id, or its
// host name where it has none. The same for every process here.
const std::string &HostId();

std::string Name(std::string_view host, long long pid, int number);

struct NameParts {
    std::string host;
    long long pid = 0;
    int number = 0;
};

// The parts of a name of exactly that form (case matters); nothing for any
// other name.
std::optional<NameParts> Parse(std::string_view name);

enum class Lock {
    Taken,        // ours now: nobody else holds it
    Held,         // another open file holds it
    Unsupported,  // the file system does not honour locks
};

// Tries to take the write lock on a descriptor open for writing; it is held
// until that descriptor is closed.
Lock TryLock(int fd);

} // namespace TemporaryOutput

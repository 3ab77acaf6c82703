#include "platform/TemporaryOutput.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace TemporaryOutput {
namespace {

std::string FirstLineOf(const char *path)
{
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r'))
        line.pop_back();
    return line;
}

std::string HostName()
{
    std::vector<char> name(256);
    if (::gethostname(name.data(), name.size() - 1) != 0)
        return {};
    name.back() = '\0';
    return name.data();
}

// FNV-1a: short, stable, and the same wherever it is computed.
std::uint32_t Hash(std::string_view text)
{
    std::uint32_t hash = 2166136261u;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

bool IsLowerHex(std::string_view text)
{
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

// Decimal digits without a sign or a leading zero (so that a name has one
// spelling only).
template <typename Number>
bool ParseDecimal(std::string_view text, Number &value)
{
    if (text.empty() || (text.size() > 1 && text[0] == '0') || text[0] < '0' || text[0] > '9')
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace

const std::string &HostId()
{
    static const std::string id = [] {
        std::string identity = FirstLineOf("/etc/machine-id");
        if (identity.empty())
            identity = FirstLineOf("/var/lib/dbus/machine-id");
        if (identity.empty())
            identity = HostName();
        static const char digits[] = "0123456789abcdef";
        std::string hex(8, '0');
        std::uint32_t hash = Hash(identity);
        for (int i = 7; i >= 0; --i, hash >>= 4)
            hex[static_cast<std::size_t>(i)] = digits[hash & 0xF];
        return hex;
    }();
    return id;
}

std::string Name(std::string_view host, long long pid, int number)
{
    return std::string(kPrefix) + std::string(host) + "-" + std::to_string(pid) + "-"
        + std::to_string(number) + std::string(kSuffix);
}

std::optional<NameParts> Parse(std::string_view name)
{
    if (name.size() <= kPrefix.size() + kSuffix.size() || name.substr(0, kPrefix.size()) != kPrefix
        || name.substr(name.size() - kSuffix.size()) != kSuffix)
        return std::nullopt;
    std::string_view middle = name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
    const auto first = middle.find('-');
    const auto last = middle.rfind('-');
    if (first == std::string_view::npos || first == last)
        return std::nullopt;
    NameParts parts;
    const std::string_view host = middle.substr(0, first);
    if (host.size() != 8 || !IsLowerHex(host) || !ParseDecimal(middle.substr(first + 1, last - first - 1), parts.pid)
        || !ParseDecimal(middle.substr(last + 1), parts.number) || parts.pid <= 0)
        return std::nullopt;
    parts.host = std::string(host);
    return parts;
}

Lock TryLock(int fd)
{
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;  // the whole file, however long it grows
    if (::fcntl(fd, F_OFD_SETLK, &lock) == 0)
        return Lock::Taken;
    if (errno == EAGAIN || errno == EACCES)
        return Lock::Held;
    return Lock::Unsupported;
}

} // namespace TemporaryOutput

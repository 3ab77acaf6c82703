#include "platform/ChannelLineReader.h"

#include <charconv>

namespace {

bool ParseInt(const char *begin, const char *end, int &out)
{
    if (begin == end)
        return false;
    const auto [ptr, error] = std::from_chars(begin, end, out);
    return error == std::errc() && ptr == end;
}

} // namespace

void ChannelLineReader::Feed(const QByteArray &bytes)
{
    m_pending += bytes;
}

std::optional<ChannelLineReader::Message> ChannelLineReader::Next()
{
    for (;;) {
        const qsizetype end = m_pending.indexOf('\n');
        if (end < 0) {
            if (m_pending.size() > kMaxLine) {
                m_pending.clear();
                m_discarding = true;
            }
            return std::nullopt;
        }
        const QByteArray line = m_pending.left(end);
        m_pending.remove(0, end + 1);
        if (m_discarding) {
            m_discarding = false;
            continue;
        }
        if (const auto message = Parse(line))
            return message;
    }
}

std::optional<ChannelLineReader::Message> ChannelLineReader::Parse(const QByteArray &line)
{
    if (line.size() > kMaxLine)
        return std::nullopt;
    const qsizetype space = line.indexOf(' ');
    if (space < 0)
        return std::nullopt;
    const char *data = line.constData();
    Message message{};
    if (!ParseInt(data, data + space, message.code)
        || !ParseInt(data + space + 1, data + line.size(), message.value)) {
        return std::nullopt;
    }
    return message;
}

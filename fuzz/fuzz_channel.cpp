// The encoder channel's line reader. The encoder is another process and may
// be any program that was put in its place, so its bytes are outside input.
//
// Input: the first byte chooses how the rest is cut into the pieces that
// reads from the pipe would return; the rest is the stream.

#include "fuzz/FuzzTargets.h"
#include "platform/ChannelLineReader.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Message = ChannelLineReader::Message;

bool Same(const Message &a, const Message &b)
{
    return a.code == b.code && a.value == b.value;
}

bool Same(const std::vector<Message> &a, const std::vector<Message> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const Message &x, const Message &y) { return Same(x, y); });
}

// Feeds the stream in pieces of the given sizes (cycled), draining the
// reader after every piece as the program does.
std::vector<Message> ReadAll(const QByteArray &stream, const std::vector<qsizetype> &pieces)
{
    ChannelLineReader reader;
    std::vector<Message> messages;
    qsizetype at = 0;
    for (size_t i = 0; at < stream.size(); ++i) {
        const qsizetype piece = pieces[i % pieces.size()];
        reader.Feed(stream.mid(at, piece));
        at += piece;
        while (const auto message = reader.Next())
            messages.push_back(*message);
    }
    return messages;
}

} // namespace

int FuzzChannel(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t shape = data[0];
    const QByteArray stream(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));

    // However the pipe cuts the stream, the messages are the same.
    const std::vector<Message> whole = ReadAll(stream, {stream.size() + 1});
    const std::vector<Message> bytewise = ReadAll(stream, {1});
    const std::vector<Message> cut =
        ReadAll(stream, {1 + (shape & 7), 1 + (shape >> 3), 63, 64, 65, 1 + shape});
    FUZZ_CHECK(Same(bytewise, whole));
    FUZZ_CHECK(Same(cut, whole));

    // Every message is a line of its own, and says again what it said when
    // written the way the encoder writes it.
    FUZZ_CHECK(whole.size() <= static_cast<size_t>(stream.count('\n')));
    for (const Message &message : whole) {
        const std::string line = std::to_string(message.code) + " " + std::to_string(message.value);
        const auto again = ChannelLineReader::Parse(QByteArray::fromStdString(line));
        FUZZ_CHECK(again.has_value());
        FUZZ_CHECK(Same(*again, message));
    }
    return 0;
}

KELVARO_FUZZ_ENTRY(FuzzChannel)

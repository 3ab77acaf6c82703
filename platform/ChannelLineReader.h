#pragma once

#include <QByteArray>

#include <optional>

// Splits the bytes an encoder writes into messages "<code> <value>\n" (ASCII
// decimal, both signed 32-bit). Malformed lines are dropped; a line longer
// than any valid message is dropped as a whole, so a misbehaving peer cannot
// make the buffer grow without bound.
class ChannelLineReader
{
public:
    struct Message {
        int code;
        int value;
    };

    void Feed(const QByteArray &bytes);

    // The next complete, well-formed message, if any.
    std::optional<Message> Next();

    static std::optional<Message> Parse(const QByteArray &line);

private:
    static constexpr int kMaxLine = 64;

    QByteArray m_pending;
    bool m_discarding = false;  // inside an overlong line, until its end
};

// morlenc's probe on arbitrary bytes as a file. Every file a person adds to
// the list is probed, whatever it holds, so its bytes are outside input.
//
// Input: the file's bytes.

#include "fuzz/FuzzTargets.h"
#include "morlenc/Channel.h"
#include "morlenc/Failure.h"
#include "morlenc/Probe.h"
#include "platform/ChannelLineReader.h"
#include "platform/EncoderContract.h"

extern "C" {
#include <libavutil/log.h>
}

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

using namespace morlenc;

namespace {

// The channel is a pipe read back after each probe, through the program's
// own reader.
struct Pipe {
    int read = -1;
    int write = -1;
};

const Pipe &ChannelPipe()
{
    static const Pipe pipe = [] {
        std::array<int, 2> ends{-1, -1};
        if (pipe2(ends.data(), O_CLOEXEC) != 0) {
            std::perror("pipe2");
            std::abort();
        }
        fcntl(ends[0], F_SETFL, O_NONBLOCK);
        // Damaged input would fill the output with the library's complaints.
        av_log_set_level(AV_LOG_QUIET);
        return Pipe{ends[0], ends[1]};
    }();
    return pipe;
}

std::vector<ChannelLineReader::Message> Drain(int fd)
{
    ChannelLineReader reader;
    std::string chunk(4096, '\0');
    for (;;) {
        const ssize_t n = ::read(fd, chunk.data(), chunk.size());
        if (n <= 0)
            break;
        reader.Feed(QByteArray(chunk.data(), n));
    }
    std::vector<ChannelLineReader::Message> messages;
    while (const auto message = reader.Next())
        messages.push_back(*message);
    return messages;
}

bool IsProbeFailure(int reason)
{
    return reason == ENC_FAIL_OPEN_INPUT || reason == ENC_FAIL_NO_VIDEO || reason == ENC_FAIL_DECODER
        || reason == ENC_FAIL_INTERNAL;
}

} // namespace

int FuzzProbe(const uint8_t *data, size_t size)
{
    const Pipe &pipe = ChannelPipe();
    Job job;
    job.source = WriteTempFile("source", data, size);
    job.mode = ENC_MODE_PROBE;
    job.handle = pipe.write;
    Channel channel(job.handle);
    try {
        RunProbe(job, channel);
    } catch (const Failure &failure) {
        // Refused with a reason the program knows and one line for people,
        // before anything was sent.
        FUZZ_CHECK(IsProbeFailure(failure.reason));
        FUZZ_CHECK(!failure.message.empty());
        FUZZ_CHECK(failure.message.find('\n') == std::string::npos);
        FUZZ_CHECK(Drain(pipe.read).empty());
        return 0;
    } catch (const Stopped &) {
        FuzzFail("a probe with its channel open stopped", __FILE__, __LINE__);
    }
    // Duration, width and height, in that order; a picture has a size.
    const auto messages = Drain(pipe.read);
    FUZZ_CHECK(messages.size() == 3);
    FUZZ_CHECK(messages[0].code == ENC_DURATION && messages[0].value >= 0);
    FUZZ_CHECK(messages[1].code == ENC_WIDTH && messages[1].value > 0);
    FUZZ_CHECK(messages[2].code == ENC_HEIGHT && messages[2].value > 0);
    return 0;
}

KELVARO_FUZZ_ENTRY(FuzzProbe)

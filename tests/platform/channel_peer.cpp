// Plays the encoder's side of a channel for tests:
//   channel_peer <scenario> <descriptor>
// or, installed in place of the encoder, with the encoder's 25 arguments: the
// scenario is then the source's file name without folder and what follows
// its first dot, and the descriptor the last argument. Conversions that end
// well write their output file, as the encoder does.
#include "platform/EncoderGrammar.h"
#include "platform/TemporaryOutput.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

int g_fd = -1;
std::string g_part;  // the temporary output being written, if any

// As the encoder does: a termination is a stop, and a stop removes the
// unfinished file.
void RemovePartAndExit(int)
{
    ::unlink(g_part.c_str());
    ::_exit(0);
}

void WritePart(const std::string &output)
{
    const std::string folder = output.substr(0, output.rfind('/') + 1);
    g_part = folder + TemporaryOutput::Name(TemporaryOutput::HostId(), ::getpid(), 0);
    const int fd = ::open(g_part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    TemporaryOutput::TryLock(fd);
    std::signal(SIGTERM, RemovePartAndExit);
    std::signal(SIGPIPE, SIG_IGN);
}

void Send(const std::string &text)
{
    // A closed channel is a stop, as for the encoder.
    if (::write(g_fd, text.data(), text.size()) < 0) {
        if (!g_part.empty())
            ::unlink(g_part.c_str());
        std::exit(3);
    }
}

// Reads one answer line; -1 when the channel is closed.
int Answer()
{
    std::string line;
    char c = 0;
    while (::read(g_fd, &c, 1) == 1) {
        if (c == '\n')
            return std::atoi(line.c_str());
        line += c;
    }
    return -1;
}

// Progress reports, each answered; false when told to stop.
bool Report(int count, int pauseMs)
{
    for (int second = 1; second <= count; ++second) {
        Send("5 " + std::to_string(second) + "\n");
        if (Answer() != 0)
            return false;
        ::usleep(static_cast<useconds_t>(pauseMs) * 1000);
    }
    return true;
}

void Finish(const std::string &output)
{
    std::ofstream(output) << "converted\n";
    Send("6 0\n");
}

} // namespace

int main(int argc, char **argv)
{
    namespace G = EncoderGrammar;
    std::string scenario;
    std::string output;
    if (argc == 3) {
        scenario = argv[1];
        g_fd = std::atoi(argv[2]);
    } else if (argc == G::kArgumentCount + 1) {
        scenario = argv[1 + G::kSource];
        scenario = scenario.substr(scenario.rfind('/') + 1);
        scenario = scenario.substr(0, scenario.find('.'));
        output = argv[1 + G::kOutput];
        g_fd = std::atoi(argv[1 + G::kHandle]);
        // A file meant for converting is probed as a plain 10 s clip.
        const bool probe = std::string(argv[1 + G::kMode]) == "1";
        if (probe && (scenario == "clip" || scenario == "slow" || scenario == "killed" || scenario == "nospace")) {
            Send("1 10\n2 640\n3 480\n4 0\n");
            return 0;
        }
    } else {
        return 2;
    }

    if (scenario == "probe") {
        Send("1 12\n2 640\n3 480\n4 0\n");
    } else if (scenario == "long") {
        Send("1 360000\n2 640\n3 480\n4 0\n");
    } else if (scenario == "hour") {
        Send("1 3725\n2 320\n3 240\n4 0\n");
    } else if (scenario == "bare") {
        Send("4 0\n");
    } else if (scenario == "split") {
        Send("1 1");
        ::usleep(100 * 1000);
        Send("2\n4 0\n");
    } else if (scenario == "convert") {
        // Reports what it was told, so the test sees the answers arrive.
        Send("5 1\n");
        const int first = Answer();
        Send("5 " + std::to_string(100 + first) + "\n");
        if (Answer() == 1)
            return 0;  // told to stop: nothing more
        Send("6 0\n");
    } else if (scenario == "garbage") {
        Send("hello\n1 x\n99999999999 1\n1 99999999999\n \n9 5\n1 2 3\n-\n1 -\n");
        Send(std::string(5000, 'A') + "\n");
        Send(std::string(100, '7') + " 1\n");
        Send("1 42\n4 0\n");
    } else if (scenario == "die") {
        Send("1 5\n");
        ::kill(::getpid(), SIGKILL);
    } else if (scenario == "fail") {
        Send("7 2\n");
    } else if (scenario == "after-final") {
        Send("4 0\n1 9\n");
    } else if (scenario == "wrong-job") {
        Send("5 3\n6 0\n1 4\n4 0\n");
    } else if (scenario == "clip") {
        if (Report(2, 0))
            Finish(output);
    } else if (scenario == "slow") {
        WritePart(output);
        const bool whole = Report(60, 50);
        ::unlink(g_part.c_str());
        if (whole)
            Finish(output);
    } else if (scenario == "nospace") {
        Send("8 28\n7 6\n6 0\n");
    } else if (scenario == "killed") {
        // Dies outright half-way, leaving its locked temporary file behind.
        const std::string folder = output.substr(0, output.rfind('/') + 1);
        const std::string part = folder + TemporaryOutput::Name(TemporaryOutput::HostId(), ::getpid(), 0);
        const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        TemporaryOutput::TryLock(fd);
        Report(1, 0);
        ::kill(::getpid(), SIGKILL);
    }
    return 0;
}

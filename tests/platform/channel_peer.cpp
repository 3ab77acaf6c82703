// Plays the encoder's side of a channel for tests:
//   channel_peer <scenario> <descriptor>
// or, installed in place of the encoder, with the encoder's 25 arguments: the
// scenario is then the source's file name without folder and extension, and
// the descriptor the last argument.
#include <csignal>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

int g_fd = -1;

void Send(const std::string &text)
{
    if (::write(g_fd, text.data(), text.size()) < 0)
        std::exit(3);
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

} // namespace

int main(int argc, char **argv)
{
    std::string scenario;
    if (argc == 3) {
        scenario = argv[1];
        g_fd = std::atoi(argv[2]);
    } else if (argc == 26) {
        scenario = argv[1];
        scenario = scenario.substr(scenario.rfind('/') + 1);
        scenario = scenario.substr(0, scenario.find('.'));
        g_fd = std::atoi(argv[25]);
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
        Send("hello\n1 x\n99999999999 1\n1 99999999999\n \n8 5\n1 2 3\n-\n1 -\n");
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
    }
    return 0;
}

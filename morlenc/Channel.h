#pragma once

// The channel to the program: one "<code> <value>\n" line per message on the
// inherited descriptor, or on standard output for a handle of -1.

namespace morlenc {

class Channel {
public:
    explicit Channel(int handle);

    // Throws Stopped when the line cannot be written: nobody is listening.
    void Send(int code, int value);

    // Sends code 5 and waits for the answer; throws Stopped on "1", on end
    // of stream or on anything that is not "0". On standard output there is
    // nobody to answer, so it goes on at once.
    void Progress(int seconds);

private:
    int m_fd;
    bool m_answered;
};

// True when handle names an open descriptor this process may use.
bool IsUsableHandle(int handle);

} // namespace morlenc

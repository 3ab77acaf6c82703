#pragma once

#include "platform/ChannelLineReader.h"

#include <QObject>

#include <functional>

class QSocketNotifier;

// The private line between the program and one encoder job: a Unix socket
// pair whose child end the encoder inherits (its number is the job's handle).
// Messages are handed to the handler on the thread of the event loop; the
// handler's result answers a progress message, which the encoder waits for.
//
// A job always ends with exactly one final code (4 for a probe, 6 for a
// conversion), unless the program told it to stop. If the encoder dies
// without its final code, the channel reports the failure itself (code 7,
// then the final code), so nothing waits forever for a dead job.
class EncoderChannel : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<int(int code, int value)>;

    EncoderChannel(int mode, Handler handler, QObject *parent = nullptr);
    ~EncoderChannel() override;

    // Creates the socket pair and starts listening; false if the system
    // refused a socket.
    bool Open();

    // The descriptor number the encoder must inherit; -1 before Open.
    int ChildDescriptor() const { return m_childFd; }

    // Call once the encoder has started: our copy of its end is closed, so
    // that its exit is seen as the end of the stream.
    void ChildStarted();

    // Ends the job as failed with the given reason (code 7, then the final
    // code), from the event loop rather than inside the caller.
    void FailLater(int reason);

Q_SIGNALS:
    // The job is over: its final code was handled, it was told to stop, or
    // its failure was reported.
    void Finished();

private:
    void OnReadable();
    void Deliver(int code, int value);
    void ReportFailure(int reason);
    bool Accepts(int code) const;
    void Finish();
    void CloseDescriptors();

    int m_mode;
    Handler m_handler;
    int m_ownFd = -1;
    int m_childFd = -1;
    QSocketNotifier *m_notifier = nullptr;
    ChannelLineReader m_reader;
    bool m_failureSeen = false;
    bool m_finished = false;
};

#include "platform/EncoderChannel.h"

#include "platform/EncoderContract.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

EncoderChannel::EncoderChannel(int mode, Handler handler, QObject *parent)
    : QObject(parent)
    , m_mode(mode)
    , m_handler(std::move(handler))
{
}

EncoderChannel::~EncoderChannel()
{
    CloseDescriptors();
}

bool EncoderChannel::Open()
{
    int fds[2] = {-1, -1};
    // Close-on-exec on both ends: only the one encoder meant to hold the
    // child end gets it (the launcher clears the flag in that child alone).
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        return false;
    m_ownFd = fds[0];
    m_childFd = fds[1];
    m_notifier = new QSocketNotifier(m_ownFd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &EncoderChannel::OnReadable);
    return true;
}

void EncoderChannel::ChildStarted()
{
    if (m_childFd >= 0) {
        ::close(m_childFd);
        m_childFd = -1;
    }
}

void EncoderChannel::FailLater(int reason)
{
    ChildStarted();
    QTimer::singleShot(0, this, [this, reason] { ReportFailure(reason); });
}

void EncoderChannel::OnReadable()
{
    if (m_finished)
        return;
    // While a message is handled (perhaps with a question open), this
    // channel must not be read again: the answer is not written yet.
    m_notifier->setEnabled(false);
    QPointer<EncoderChannel> self(this);

    bool endOfStream = false;
    QByteArray chunk(4096, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::recv(m_ownFd, chunk.data(), static_cast<size_t>(chunk.size()),
                                 MSG_DONTWAIT);
        if (n > 0) {
            m_reader.Feed(chunk.left(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        endOfStream = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
        break;
    }

    while (const auto message = m_reader.Next()) {
        Deliver(message->code, message->value);
        if (!self || m_finished)
            return;
    }
    if (endOfStream)
        ReportFailure(ENC_FAIL_DIED);
    else
        m_notifier->setEnabled(true);
}

bool EncoderChannel::Accepts(int code) const
{
    if (code == ENC_FAILED || code == ENC_SYSTEM_ERROR)
        return true;
    if (m_mode == ENC_MODE_PROBE)
        return code >= ENC_DURATION && code <= ENC_PROBE_DONE;
    return code == ENC_PROGRESS || code == ENC_FILE_DONE;
}

void EncoderChannel::Deliver(int code, int value)
{
    if (m_finished || !Accepts(code))
        return;
    if (code == ENC_FAILED)
        m_failureSeen = true;
    QPointer<EncoderChannel> self(this);
    const int result = m_handler(code, value);
    if (!self || m_finished)
        return;
    if (code == ENC_PROGRESS) {
        const bool stop = result == 1;
        const char *answer = stop ? "1\n" : "0\n";
        // MSG_NOSIGNAL: an encoder that died must not take us with it.
        if (::send(m_ownFd, answer, 2, MSG_NOSIGNAL) != 2 && !stop) {
            ReportFailure(ENC_FAIL_DIED);
            return;
        }
        if (stop) {
            // A stopped job sends nothing more and gets no final code.
            Finish();
            return;
        }
    }
    if (code == FinalCodeOf(m_mode))
        Finish();
}

void EncoderChannel::ReportFailure(int reason)
{
    if (m_finished)
        return;
    QPointer<EncoderChannel> self(this);
    if (!m_failureSeen)
        Deliver(ENC_FAILED, reason);
    if (self && !m_finished)
        Deliver(FinalCodeOf(m_mode), 0);
}

void EncoderChannel::Finish()
{
    m_finished = true;
    CloseDescriptors();
    Q_EMIT Finished();
}

void EncoderChannel::CloseDescriptors()
{
    if (m_notifier) {
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
    if (m_ownFd >= 0) {
        ::close(m_ownFd);
        m_ownFd = -1;
    }
    ChildStarted();
}

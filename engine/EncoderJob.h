#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class EncoderChannel;

// One run of the encoder, a probe or a conversion: its process, its channel
// and what the process leaves in the output folder. It turns the encoder's
// messages into signals; whoever started it listens and, for a conversion,
// may tell it to stop.
//
// A job ends exactly once (Finished): after its final code, after a stop, or
// after a failure, which it then names (Failure). An encoder that could not
// be started, or that dies without its final code, is a failed job, and
// what a dead encoder left in the output folder is removed once its process
// is gone.
//
// Its owner lets it go with Release, never by deleting it: a receiver of the
// job's signals may pump events (a progress report keeps the windows alive
// that way), and whatever that pump runs may be what lets the job go. A
// released job says nothing more, answers a report still coming with
// "stop", and is deleted from the event loop once none of its own calls is
// under way. Deleted while its encoder runs, it closes the channel, and the
// encoder then stops and removes its unfinished file by itself.
class EncoderJob : public QObject
{
    Q_OBJECT

public:
    // Starts `morlenc` from the program folder with these arguments, the
    // handle filled in with the job's own channel. `codecThreads` (0: as
    // many as the libraries like) bounds the threads of each of its
    // decoders and encoders.
    static EncoderJob *Start(int mode, QStringList arguments, QObject *owner, int codecThreads = 0);
    ~EncoderJob() override;

    // A failure as a person reads it: the reason, and the system's words for
    // the error behind it when there was one ("… (permission denied)").
    static QString FailureText(int reason, int systemError);

    // Why the job failed, as FailureText puts it; empty when it did not.
    QString Failure() const;

    // The progress report being handled (between reports: the next one) is
    // answered "stop"; nothing stops before that answer. The encoder then
    // removes what it wrote, and the job ends.
    void AnswerStop();

    // Ends the encoder at once, between reports (a termination signal, which
    // it takes as a stop); the job ends without a failure.
    void Terminate();

    // Its owner is done with it (see above).
    void Release();

    // What arrives on the channel, as the codes say; for a progress report
    // the answer (1: stop).
    int OnEncoderMessage(int code, int value);

Q_SIGNALS:
    // A probe found the file: duration in whole seconds, the picture's size
    // as a player shows it.
    void Probed(int seconds, int width, int height);
    // A conversion reached this second of the source; a receiver may AnswerStop().
    void Progress(int seconds);
    void Finished();

private:
    class Busy;

    EncoderJob(int mode, QObject *owner);
    void Launch(QStringList arguments, int codecThreads);
    void OnChannelFinished();
    void RemoveWhatADeadEncoderLeft();
    void DeleteWhenIdle();

    int m_mode;
    EncoderChannel *m_channel = nullptr;
    qint64 m_pid = 0;
    QString m_outputFolder;  // conversions: where the temporary file lies
    int m_seconds = 0;
    int m_width = 0;
    int m_height = 0;
    int m_systemError = 0;
    int m_failure = 0;  // an EncoderFailure, 0 while none came
    bool m_died = false;
    bool m_stop = false;
    bool m_terminated = false;
    bool m_reaped = false;
    bool m_finished = false;
    int m_busy = 0;  // the job's own calls under way
    bool m_released = false;
    bool m_deleting = false;
};

#include "engine/EncoderJob.h"

#include "engine/ProgramFolder.h"
#include "engine/TemporaryOutputSweep.h"
#include "platform/EncoderChannel.h"
#include "platform/EncoderContract.h"
#include "platform/EncoderGrammar.h"
#include "platform/Host.h"
#include "platform/ProcessStart.h"

#include <QFileInfo>

#include <cstring>
#include <memory>

#include <signal.h>

// One of the job's own calls is under way while this lives; a job released
// meanwhile goes once the last of them has returned.
class EncoderJob::Busy
{
public:
    explicit Busy(EncoderJob &job)
        : m_job(job)
    {
        ++m_job.m_busy;
    }
    ~Busy()
    {
        --m_job.m_busy;
        m_job.DeleteWhenIdle();
    }
    Busy(const Busy &) = delete;
    Busy &operator=(const Busy &) = delete;

private:
    EncoderJob &m_job;
};

EncoderJob *EncoderJob::Start(int mode, QStringList arguments, QObject *owner, int codecThreads)
{
    auto *job = new EncoderJob(mode, owner);
    job->Launch(std::move(arguments), codecThreads);
    return job;
}

EncoderJob::EncoderJob(int mode, QObject *owner)
    : QObject(owner)
    , m_mode(mode)
{
}

EncoderJob::~EncoderJob() = default;

void EncoderJob::Launch(QStringList arguments, int codecThreads)
{
    QStringList environment;
    if (codecThreads > 0)
        environment << QStringLiteral("MORLENC_THREADS=%1").arg(codecThreads);
    m_channel = new EncoderChannel(
        m_mode, [this](int code, int value) { return OnEncoderMessage(code, value); }, this);
    connect(m_channel, &EncoderChannel::Finished, this, &EncoderJob::OnChannelFinished);
    if (m_mode == ENC_MODE_CONVERT)
        m_outputFolder = QFileInfo(arguments.value(EncoderGrammar::kOutput)).absolutePath();

    const bool open = m_channel->Open();
    arguments[EncoderGrammar::kHandle] = QString::number(m_channel->ChildDescriptor());
    if (open)
        m_pid = Host::Instance().StartProgram(EncoderProgramPath(), arguments, m_channel->ChildDescriptor(),
                                              environment);
    if (m_pid == 0) {
        // Reported from the event loop like any failure, so that nobody
        // waits for a job that never ran.
        m_channel->FailLater(ENC_FAIL_START);
        return;
    }
    m_channel->ChildStarted();
    connect(&ProgramEnds::Instance(), &ProgramEnds::Ended, this, [this](qint64 pid) {
        if (pid == m_pid)
            m_reaped = true;
    });
}

QString EncoderJob::FailureText(int reason, int systemError)
{
    QString text = QString::fromLatin1(EncoderFailureText(reason));
    if (systemError > 0) {
        // The system's words replace a guess such as "(is the disk full?)".
        if (text.endsWith(QLatin1Char(')')) && text.contains(QLatin1String(" (")))
            text.truncate(text.lastIndexOf(QLatin1String(" (")));
        QString words = QString::fromLocal8Bit(std::strerror(systemError));
        if (!words.isEmpty())
            words[0] = words[0].toLower();
        text += QStringLiteral(" (%1)").arg(words);
    }
    return text;
}

QString EncoderJob::Failure() const
{
    return m_failure == 0 ? QString() : FailureText(m_failure, m_systemError);
}

void EncoderJob::AnswerStop()
{
    m_stop = true;
}

void EncoderJob::Terminate()
{
    // Once reaped, the number may already name somebody else's process.
    if (m_finished || m_pid == 0 || m_reaped)
        return;
    m_terminated = true;
    ::kill(static_cast<pid_t>(m_pid), SIGTERM);
}

void EncoderJob::Release()
{
    if (m_released)
        return;
    m_released = true;
    m_stop = true;
    disconnect(this, nullptr, nullptr, nullptr);
    DeleteWhenIdle();
}

void EncoderJob::DeleteWhenIdle()
{
    // Qt runs a deferred deletion in any event pump less deeply nested than
    // the call that asked for it, such as the pump of a report that is
    // still using the job; so it is asked for only once no call of the job
    // is on the stack. A released job has no receivers left: nothing of it
    // pumps events afterwards.
    if (!m_released || m_busy > 0 || m_deleting)
        return;
    m_deleting = true;
    deleteLater();
}

int EncoderJob::OnEncoderMessage(int code, int value)
{
    const Busy busy(*this);
    switch (code) {
    case ENC_DURATION: m_seconds = value; break;
    case ENC_WIDTH: m_width = value; break;
    case ENC_HEIGHT: m_height = value; break;
    case ENC_SYSTEM_ERROR: m_systemError = value; break;
    case ENC_FAILED:
        // An encoder told to end goes quietly; that is no failure.
        if (m_terminated)
            break;
        // A reason of 0 would read as no failure at all.
        m_failure = value != 0 ? value : ENC_FAIL_INTERNAL;
        m_died = value == ENC_FAIL_DIED;
        break;
    case ENC_PROBE_DONE:
        if (m_failure == 0)
            Q_EMIT Probed(m_seconds, m_width, m_height);
        break;
    case ENC_PROGRESS:
        Q_EMIT Progress(value);
        return m_stop ? 1 : 0;
    default:
        break;
    }
    return 0;
}

void EncoderJob::OnChannelFinished()
{
    const Busy busy(*this);
    m_finished = true;
    Q_EMIT Finished();
    if (m_died)
        RemoveWhatADeadEncoderLeft();
}

void EncoderJob::RemoveWhatADeadEncoderLeft()
{
    if (m_outputFolder.isEmpty() || m_pid == 0)
        return;
    // Killed outright, the encoder could not remove its unfinished file.
    // It goes now, or, if the process is not quite gone yet, once it has
    // been reaped; that may be after this job, so the watch is not ours.
    const QString folder = m_outputFolder;
    const qint64 pid = m_pid;
    // Gone already, its files are judged now: none left means none to wait
    // for.
    if (RemoveAbandonedTemporaryOutputs(folder, pid) > 0 || m_reaped)
        return;
    ProgramEnds *ends = &ProgramEnds::Instance();
    auto watch = std::make_shared<QMetaObject::Connection>();
    *watch = connect(ends, &ProgramEnds::Ended, ends, [folder, pid, watch](qint64 ended) {
        if (ended != pid)
            return;
        RemoveAbandonedTemporaryOutputs(folder, pid);
        QObject::disconnect(*watch);
    });
}

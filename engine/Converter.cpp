#include "engine/Converter.h"

#include "engine/ConversionSettings.h"
#include "engine/EncoderJob.h"
#include "engine/LaunchEncoder.h"
#include "engine/OutputFolder.h"
#include "engine/SourceRows.h"
#include "engine/TemporaryOutputSweep.h"
#include "platform/EncoderContract.h"
#include "platform/EncoderGrammar.h"
#include "platform/FileNames.h"
#include "platform/Host.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>

namespace {

// Two paths name the same file (symbolic links and ".." resolved).
bool SameFile(const QString &a, const QString &b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    const QString canonicalA = first.canonicalFilePath();
    const QString canonicalB = second.canonicalFilePath();
    if (!canonicalA.isEmpty() && !canonicalB.isEmpty())
        return canonicalA == canonicalB;
    return first.absoluteFilePath() == second.absoluteFilePath();
}

// The event loop runs between encoder messages anyway; this keeps the
// windows painted (and a terminal's Ctrl-C heard) while one report is being
// handled.
void PumpOneMessage()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace

Converter::Converter(const SourceRows &table, ConversionSettings &settings, QObject *parent)
    : QObject(parent)
    , m_table(table)
    , m_settings(settings)
{
}

// A job still running is a child: deleting it closes its channel, and its
// encoder then stops and removes its unfinished file by itself.
Converter::~Converter() = default;

bool Converter::Start(const QString &folderField)
{
    if (m_table.RowCount() == 0) {
        Host::Instance().MessageBox(QStringLiteral("No file in the list"), Host::ApplicationTitle(),
                                    Host::Buttons::Ok, Host::Icon::None);
        return false;
    }
    m_folder = PrepareOutputFolder(m_settings, folderField);
    if (m_folder.isEmpty())
        return false;
    // What encoders killed in an earlier run left behind.
    RemoveAbandonedTemporaryOutputs(m_folder);
    m_batch.Start(Host::Instance().TickCount());
    m_outputs.clear();
    m_running = true;
    m_completed = false;
    Q_EMIT Started(ConversionBatch::StartText());
    StartRow(0);
    return true;
}

void Converter::RequestCancel()
{
    if (m_running)
        m_batch.RequestCancel();
}

void Converter::StopNow()
{
    if (!m_running)
        return;
    if (m_job)
        m_job->Terminate();
    End();
    Q_EMIT Idle();
}

void Converter::StartRow(int row)
{
    const QString source = m_table.Path(row);
    const QString output = BuildOutputPath(m_settings, source);
    m_rowFailure.clear();
    m_rowOutput.clear();
    Q_EMIT RowStarted(row, source);

    // The output replaces a file of that name only when the conversion is
    // complete (the encoder writes beside it and renames), so a failed
    // conversion keeps the old file. It must never be one of the sources,
    // nor a file this batch has just made.
    int refusal = 0;
    for (int i = 0; i < m_table.RowCount() && refusal == 0; ++i) {
        if (SameFile(output, m_table.Path(i)))
            refusal = ENC_FAIL_SOURCE_IS_OUTPUT;
    }
    for (const QString &made : m_outputs) {
        if (refusal == 0 && SameFile(output, made))
            refusal = ENC_FAIL_OUTPUT_TAKEN;
    }
    if (refusal != 0) {
        // As if the encoder had failed: reported and ended from the event
        // loop, so a long run of refused rows cannot nest.
        QTimer::singleShot(0, this, [this, refusal] {
            OnEncoderMessage(ENC_FAILED, refusal);
            OnEncoderMessage(ENC_FILE_DONE, 0);
        });
        return;
    }
    m_rowOutput = output;
    const LetterboxMargins margins = ComputeLetterboxMargins(m_settings, m_table.Width(row), m_table.Height(row));
    EncoderJob *job = LaunchEncoder(m_settings, source, output, margins, ENC_MODE_CONVERT, this);
    m_job = job;
    connect(job, &EncoderJob::Progress, this, [this, job](int seconds) {
        if (OnEncoderMessage(ENC_PROGRESS, seconds) == 1)
            job->AnswerStop();
    });
    connect(job, &EncoderJob::Finished, this, [this, job] {
        m_rowFailure = job->Failure();
        OnEncoderMessage(ENC_FILE_DONE, 0);
    });
}

int Converter::OnEncoderMessage(int code, int value)
{
    if (!m_running)
        return 0;
    switch (code) {
    case ENC_FAILED:
        m_rowFailure = EncoderJob::FailureText(value, 0);
        return 0;
    case ENC_PROGRESS: {
        const int result = ReportProgress(value);
        if (result == 1 && m_running) {
            End();
            // Once the encoder has its answer.
            QTimer::singleShot(0, this, &Converter::Idle);
        }
        return result;
    }
    case ENC_FILE_DONE:
        OnFileDone();
        return 0;
    default:
        return 0;
    }
}

int Converter::ReportProgress(double seconds)
{
    if (m_batch.CountReport())
        PumpOneMessage();
    if (m_batch.CancelRequested()) {
        const auto answer = Host::Instance().MessageBox(QStringLiteral("Do you really want to stop?"),
                                                        Host::ApplicationTitle(), Host::Buttons::YesNo,
                                                        Host::Icon::Question);
        if (answer == Host::Answer::Yes)
            return 1;
        m_batch.ClearCancel();
    }
    PumpOneMessage();
    // Stopped meanwhile (a terminal's Ctrl-C): this job is over too.
    if (!m_running)
        return 1;
    const int row = m_batch.CurrentRow();
    const auto display = m_batch.TakeProgress(seconds, m_table.Duration(row), m_table.TotalDuration(),
                                              Host::Instance().TickCount());
    if (!display)
        return 0;
    Q_EMIT Progressed(display->text, display->permille);
    PumpOneMessage();
    return m_running ? 0 : 1;
}

void Converter::OnFileDone()
{
    ReleaseJob();
    const int row = m_batch.CurrentRow();
    const QString source = ReadableFileName(m_table.Path(row));
    const double duration = m_table.Duration(row);
    if (!m_rowFailure.isEmpty()) {
        m_batch.RecordFailure(source, m_rowFailure);
    } else {
        m_outputs << m_rowOutput;
        // The command always ends the output at nine hours; the person
        // should hear that the rest of a longer file is missing.
        if (duration > double(EncoderGrammar::kNineHoursSeconds))
            m_batch.RecordCut(source, int(EncoderGrammar::kNineHoursSeconds), int(duration));
    }
    Q_EMIT RowEnded(row, m_rowFailure);
    m_batch.FinishRow(duration);
    // Read afresh: probes still running may have added rows meanwhile.
    if (m_batch.CurrentRow() < m_table.RowCount()) {
        StartRow(m_batch.CurrentRow());
        return;
    }
    m_completed = true;
    End();
    Host &host = Host::Instance();
    const bool failed = !m_batch.Failures().isEmpty();
    host.MessageBox(m_batch.CompletionText(host.TickCount(), m_table.RowCount()), Host::ApplicationTitle(),
                    Host::Buttons::Ok, failed ? Host::Icon::Warning : Host::Icon::Information, m_batch.Details());
    Q_EMIT Idle();
}

void Converter::End()
{
    m_running = false;
    ReleaseJob();
    Q_EMIT ProgressOver();
}

void Converter::ReleaseJob()
{
    if (!m_job)
        return;
    // Nothing more of it matters here.
    m_job->Release();
    m_job = nullptr;
}

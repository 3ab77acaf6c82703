#include "engine/Converter.h"

#include "engine/ConversionSettings.h"
#include "engine/EncoderJob.h"
#include "engine/JobCount.h"
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

#include <algorithm>

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

// Jobs still running are children: deleting them closes their channels, and
// their encoders then stop and remove their unfinished files by themselves.
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
    m_jobLimit = JobCount::Of(m_settings);
    m_outputs.clear();
    m_running.clear();
    ++m_generation;
    m_active = true;
    m_asking = false;
    m_completed = false;
    Q_EMIT Started(ConversionBatch::StartText());
    StartRows();
    return true;
}

void Converter::RequestCancel()
{
    if (m_active)
        m_batch.RequestCancel();
}

void Converter::StopNow()
{
    if (!m_active)
        return;
    for (const Running &running : m_running) {
        if (running.job)
            running.job->Terminate();
    }
    End();
    Q_EMIT Idle();
}

void Converter::StartRows()
{
    // Read afresh each time: probes still running may have added rows.
    while (m_active && int(m_running.size()) < m_jobLimit && m_batch.StartedRows() < m_table.RowCount()) {
        // The jobs that will run beside this one, as far as the list tells;
        // the last row ends alone, and its threads then have the cores.
        const int waiting = m_table.RowCount() - m_batch.StartedRows();
        const int jobs = waiting == 1 ? 1 : std::min(m_jobLimit, int(m_running.size()) + waiting);
        StartRow(m_batch.StartNextRow(), JobCount::CodecThreads(jobs));
    }
    if (!m_active || !m_running.empty())
        return;
    m_completed = true;
    End();
    Host &host = Host::Instance();
    const bool failed = !m_batch.Failures().isEmpty();
    host.MessageBox(m_batch.CompletionText(host.TickCount(), m_table.RowCount()), Host::ApplicationTitle(),
                    Host::Buttons::Ok, failed ? Host::Icon::Warning : Host::Icon::Information, m_batch.Details());
    Q_EMIT Idle();
}

QStringList Converter::OutputsTaken() const
{
    QStringList taken = m_outputs;
    for (const Running &running : m_running)
        taken << running.output;
    return taken;
}

void Converter::StartRow(int row, int codecThreads)
{
    const QString source = m_table.Path(row);
    // A file another running row is making counts as there already, so
    // that rows get the names they would get one after another.
    const QStringList taken = OutputsTaken();
    const QString output = BuildOutputPath(m_settings, source, taken);

    // The output replaces a file of that name only when the conversion is
    // complete (the encoder writes beside it and renames), so a failed
    // conversion keeps the old file. It must never be one of the sources,
    // nor a file this batch has made or is making.
    int refusal = 0;
    for (int i = 0; i < m_table.RowCount() && refusal == 0; ++i) {
        if (SameFile(output, m_table.Path(i)))
            refusal = ENC_FAIL_SOURCE_IS_OUTPUT;
    }
    for (const QString &made : taken) {
        if (refusal == 0 && SameFile(output, made))
            refusal = ENC_FAIL_OUTPUT_TAKEN;
    }
    m_running.push_back({row, nullptr, refusal == 0 ? output : QString(), {}});
    Q_EMIT RowStarted(row, source);
    if (refusal != 0) {
        // As if the encoder had failed: reported and ended from the event
        // loop, so a long run of refused rows cannot nest.
        const unsigned batch = m_generation;
        QTimer::singleShot(0, this, [this, row, refusal, batch] {
            if (batch != m_generation)
                return;  // a batch stopped meanwhile
            OnEncoderMessage(row, ENC_FAILED, refusal);
            OnEncoderMessage(row, ENC_FILE_DONE, 0);
        });
        return;
    }
    // Whoever heard of the start may have stopped the batch.
    Running *running = Find(row);
    if (!m_active || !running)
        return;
    const LetterboxMargins margins = ComputeLetterboxMargins(m_settings, m_table.Width(row), m_table.Height(row));
    EncoderJob *job = LaunchEncoder(m_settings, source, output, margins, ENC_MODE_CONVERT, this, codecThreads);
    running->job = job;
    connect(job, &EncoderJob::Progress, this, [this, job, row](int seconds) {
        if (OnEncoderMessage(row, ENC_PROGRESS, seconds) == 1)
            job->AnswerStop();
    });
    connect(job, &EncoderJob::Finished, this, [this, job, row] {
        if (Running *running = Find(row))
            running->failure = job->Failure();
        OnEncoderMessage(row, ENC_FILE_DONE, 0);
    });
}

Converter::Running *Converter::Find(int row)
{
    for (Running &running : m_running) {
        if (running.row == row)
            return &running;
    }
    return nullptr;
}

int Converter::OnEncoderMessage(int row, int code, int value)
{
    if (!m_active || !Find(row))
        return 0;
    switch (code) {
    case ENC_FAILED:
        Find(row)->failure = EncoderJob::FailureText(value, 0);
        return 0;
    case ENC_PROGRESS: {
        const int result = ReportProgress(row, value);
        if (result == 1 && m_active) {
            End();
            // Once the encoder has its answer.
            QTimer::singleShot(0, this, &Converter::Idle);
        }
        return result;
    }
    case ENC_FILE_DONE:
        OnFileDone(row);
        return 0;
    default:
        return 0;
    }
}

int Converter::ReportProgress(int row, double seconds)
{
    if (m_batch.CountReport())
        PumpOneMessage();
    // While the question is open for one job, the others go on; what they
    // reach is shown once it has been answered.
    if (m_asking)
        return m_active ? 0 : 1;
    if (m_batch.CancelRequested() && m_active) {
        m_asking = true;
        const auto answer = Host::Instance().MessageBox(QStringLiteral("Do you really want to stop?"),
                                                        Host::ApplicationTitle(), Host::Buttons::YesNo,
                                                        Host::Icon::Question);
        m_asking = false;
        if (answer == Host::Answer::Yes)
            return 1;
        m_batch.ClearCancel();
    }
    PumpOneMessage();
    // Stopped meanwhile (a terminal's Ctrl-C, or a row that ended the
    // batch): this job is over too.
    if (!m_active || !Find(row))
        return 1;
    ShowProgress(m_batch.TakeProgress(row, seconds, m_table.Duration(row), m_table.TotalDuration(),
                                      Host::Instance().TickCount()));
    PumpOneMessage();
    return m_active ? 0 : 1;
}

void Converter::ShowProgress(const std::optional<ConversionBatch::Display> &display)
{
    if (display)
        Q_EMIT Progressed(display->text, display->permille);
}

void Converter::OnFileDone(int row)
{
    const auto at = std::find_if(m_running.begin(), m_running.end(),
                                 [row](const Running &running) { return running.row == row; });
    if (at == m_running.end())
        return;
    const Running ended = *at;
    m_running.erase(at);
    if (ended.job)
        ended.job->Release();

    const QString source = ReadableFileName(m_table.Path(row));
    const double duration = m_table.Duration(row);
    if (!ended.failure.isEmpty()) {
        m_batch.RecordFailure(row, source, ended.failure);
    } else {
        m_outputs << ended.output;
        // The command always ends the output at nine hours; the person
        // should hear that the rest of a longer file is missing.
        if (duration > double(EncoderGrammar::kNineHoursSeconds))
            m_batch.RecordCut(row, source, int(EncoderGrammar::kNineHoursSeconds), int(duration));
    }
    Q_EMIT RowEnded(row, ended.failure);
    m_batch.FinishRow(row, duration);
    // The finished row counts whole, so the bar reaches its end with the
    // last row; the text of a pending Cancel stays until it is answered.
    if (!m_batch.CancelRequested())
        ShowProgress(m_batch.TakeProgress(m_table.TotalDuration(), Host::Instance().TickCount()));
    StartRows();
}

void Converter::End()
{
    m_active = false;
    ReleaseJobs();
    Q_EMIT ProgressOver();
}

void Converter::ReleaseJobs()
{
    // Nothing more of them matters here.
    const std::vector<Running> running = std::move(m_running);
    m_running.clear();
    for (const Running &row : running) {
        if (row.job)
            row.job->Release();
    }
}

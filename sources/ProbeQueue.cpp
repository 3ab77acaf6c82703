#include "sources/ProbeQueue.h"

#include "engine/ConversionSettings.h"
#include "engine/EncoderJob.h"
#include "engine/JobCount.h"
#include "engine/LaunchEncoder.h"
#include "engine/OutputFolder.h"
#include "platform/EncoderContract.h"
#include "platform/FileNames.h"
#include "platform/Host.h"
#include "sources/SourceTable.h"

#include <sys/stat.h>

ProbeQueue::ProbeQueue(SourceTable &table, ConversionSettings &settings, QObject *parent)
    : QObject(parent)
    , m_table(table)
    , m_settings(settings)
{
}

bool ProbeQueue::Add(const QStringList &paths, const QString &folderField)
{
    if (paths.isEmpty())
        return true;
    if (PrepareOutputFolder(m_settings, folderField).isEmpty())
        return false;
    for (const QString &path : paths) {
        File file;
        file.id = ++m_nextId;
        file.path = path;
        m_pending.push_back(file);
    }
    m_running = true;
    Advance();
    return true;
}

void ProbeQueue::AddNamed(const QStringList &paths, const QString &folderField)
{
    QStringList files;
    for (const QString &path : paths) {
        // Asked with the name's own bytes, which Qt's file classes would
        // not use for a name that is not UTF-8.
        struct stat info = {};
        if (::stat(FileNameBytes(path).constData(), &info) != 0)
            AddProblem(path, QStringLiteral("the file cannot be found"));
        else if (S_ISREG(info.st_mode))
            files << path;
        else
            AddProblem(path, S_ISDIR(info.st_mode) ? QStringLiteral("it is a folder, not a file")
                                                   : QStringLiteral("it is not a file"));
    }
    if (!files.isEmpty() && !Add(files, folderField))
        m_problemCount += int(files.size());
    if (!m_running)
        ReportProblems();
}

void ProbeQueue::Cancel()
{
    const std::deque<File> files = std::move(m_pending);
    m_pending.clear();
    m_problems.clear();
    m_leftOut = 0;
    m_probing = 0;
    m_running = false;
    // Once a job has gone its channel closes; the encoder then ends by
    // itself.
    for (const File &file : files) {
        if (file.job)
            file.job->Release();
    }
}

void ProbeQueue::Advance()
{
    TakeFinished();
    StartProbes();
    TakeFinished();
    if (!m_pending.empty() || !m_running)
        return;
    m_running = false;
    ReportProblems();
    Q_EMIT Idle();
}

void ProbeQueue::StartProbes()
{
    const int limit = JobCount::Of(m_settings);
    // Files probed or being probed that may still become rows: no probe
    // starts for a file the table could not take.
    int mayBecomeRows = 0;
    for (File &file : m_pending) {
        if (m_probing >= limit)
            break;
        if (file.started) {
            mayBecomeRows += file.leftOut ? 0 : 1;
            continue;
        }
        if (m_table.RowCount() + mayBecomeRows >= SourceTable::kCapacity) {
            // Full for good once nothing ahead can fail any more.
            if (mayBecomeRows > 0)
                break;
            file.started = file.done = file.leftOut = true;
            continue;
        }
        Start(file);
        ++mayBecomeRows;
    }
}

void ProbeQueue::Start(File &file)
{
    file.started = true;
    ++m_probing;
    const unsigned id = file.id;
    EncoderJob *job =
        LaunchEncoder(m_settings, file.path, BuildOutputPath(m_settings, file.path), {}, ENC_MODE_PROBE, this);
    file.job = job;
    connect(job, &EncoderJob::Probed, this, [this, id](int seconds, int width, int height) {
        if (File *probed = Find(id)) {
            probed->probed = true;
            probed->duration = seconds;
            probed->width = width;
            probed->height = height;
        }
    });
    connect(job, &EncoderJob::Finished, this, [this, job, id] { Finish(id, job->Failure()); });
}

ProbeQueue::File *ProbeQueue::Find(unsigned id)
{
    for (File &file : m_pending) {
        if (file.id == id)
            return &file;
    }
    return nullptr;
}

void ProbeQueue::Finish(unsigned id, const QString &failure)
{
    File *file = Find(id);
    if (!file || file->done)
        return;
    if (file->job)
        file->job->Release();
    file->job = nullptr;
    file->done = true;
    file->failure = failure;
    --m_probing;
    Advance();
}

// Files whose probes have ended become rows, or problems, in the order
// they were chosen: a file waits for the probes of the files before it.
void ProbeQueue::TakeFinished()
{
    while (!m_pending.empty() && m_pending.front().done) {
        const File file = m_pending.front();
        m_pending.pop_front();
        if (file.leftOut || (file.probed && file.failure.isEmpty() && m_table.IsFull())) {
            ++m_leftOut;
            ++m_problemCount;
        } else if (!file.failure.isEmpty() || !file.probed) {
            AddProblem(file.path, file.failure);
        } else {
            m_table.AppendRow({file.path, double(file.duration), file.width, file.height});
        }
    }
}

void ProbeQueue::AddProblem(const QString &path, const QString &reason)
{
    m_problems << QStringLiteral("%1: %2").arg(ReadableFileName(path), reason);
    ++m_problemCount;
}

void ProbeQueue::ReportProblems()
{
    if (m_running || (m_problems.isEmpty() && m_leftOut == 0))
        return;
    if (m_mayReport && !m_mayReport())
        return;
    QString text;
    if (!m_problems.isEmpty()) {
        text = m_problems.size() == 1 ? QStringLiteral("1 file was not added to the list.")
                                      : QStringLiteral("%1 files were not added to the list.").arg(m_problems.size());
    }
    if (m_leftOut > 0) {
        if (!text.isEmpty())
            text += QLatin1Char(' ');
        text += QStringLiteral("The list holds at most %1 files; %2 more %3 not added.")
                    .arg(SourceTable::kCapacity)
                    .arg(m_leftOut)
                    .arg(m_leftOut == 1 ? QStringLiteral("file was") : QStringLiteral("files were"));
    }
    const QString details = m_problems.join(QLatin1Char('\n'));
    m_problems.clear();
    m_leftOut = 0;
    Host::Instance().MessageBox(text, Host::ApplicationTitle(), Host::Buttons::Ok, Host::Icon::Warning, details);
}

#include "sources/ProbeQueue.h"

#include "engine/ConversionSettings.h"
#include "engine/EncoderJob.h"
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
    for (const QString &path : paths)
        m_pending.push_back(path);
    if (!m_running)
        StartHead();
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
    m_pending.clear();
    m_problems.clear();
    m_leftOut = 0;
    m_running = false;
    // Once the job has gone its channel closes; the encoder then ends by
    // itself.
    if (m_job)
        m_job->Release();
    m_job = nullptr;
}

void ProbeQueue::StartHead()
{
    // A full table takes no more files: the rest are not probed at all.
    if (m_table.IsFull()) {
        m_leftOut += int(m_pending.size());
        m_problemCount += int(m_pending.size());
        m_pending.clear();
    }
    if (m_pending.empty()) {
        m_running = false;
        ReportProblems();
        Q_EMIT Idle();
        return;
    }
    m_running = true;
    m_probed = false;
    const QString &path = m_pending.front();
    EncoderJob *job = LaunchEncoder(m_settings, path, BuildOutputPath(m_settings, path), {}, ENC_MODE_PROBE, this);
    m_job = job;
    connect(job, &EncoderJob::Probed, this, [this](int seconds, int width, int height) {
        m_probed = true;
        m_duration = seconds;
        m_width = width;
        m_height = height;
    });
    connect(job, &EncoderJob::Finished, this, [this, job] { FinishHead(job->Failure()); });
}

void ProbeQueue::FinishHead(const QString &failure)
{
    if (m_job) {
        m_job->Release();
        m_job = nullptr;
    }
    const QString path = m_pending.front();
    m_pending.pop_front();
    if (!failure.isEmpty() || !m_probed) {
        AddProblem(path, failure);
    } else if (m_table.IsFull()) {
        ++m_leftOut;
        ++m_problemCount;
    } else {
        m_table.AppendRow({path, double(m_duration), m_width, m_height});
    }
    StartHead();
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

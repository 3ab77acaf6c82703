#include "sources/ProbeQueue.h"

#include "engine/CommandLine.h"
#include "engine/ConversionSettings.h"
#include "engine/EncoderLauncher.h"
#include "platform/EncoderContract.h"
#include "platform/Host.h"
#include "sources/SourceTable.h"

ProbeQueue::ProbeQueue(SourceTable &table, ConversionSettings &settings, EncoderLauncher &launcher,
                       QObject *parent)
    : QObject(parent)
    , m_table(table)
    , m_settings(settings)
    , m_launcher(launcher)
{
}

bool ProbeQueue::Add(const QStringList &paths, const QString &folderField)
{
    if (paths.isEmpty())
        return true;
    m_settings.outputFolder = folderField;
    if (MakeFolder(AbsoluteOutputFolder(m_settings.outputFolder)) != 0) {
        Host::Instance().MessageBox(
            QStringLiteral("Fail to create tmp folder %1").arg(m_settings.outputFolder),
            Host::ApplicationTitle(), Host::Buttons::Ok, Host::Icon::None);
        return false;
    }
    for (const QString &path : paths)
        m_pending.push_back(path);
    if (!m_running)
        StartHead();
    return true;
}

void ProbeQueue::StartHead()
{
    // A full table takes no more files: the rest are not probed at all.
    if (m_table.IsFull()) {
        m_leftOut += int(m_pending.size());
        m_pending.clear();
    }
    if (m_pending.empty()) {
        m_running = false;
        ReportProblems();
        return;
    }
    m_running = true;
    m_duration = m_width = m_height = m_failure = 0;
    const QString &path = m_pending.front();
    m_launcher.LaunchEncoder(path, BuildOutputPath(m_settings, path), 0, 0, ENC_MODE_PROBE);
}

int ProbeQueue::OnEncoderMessage(int code, int value)
{
    if (!m_running)
        return 0;
    switch (code) {
    case ENC_DURATION: m_duration = value; break;
    case ENC_WIDTH: m_width = value; break;
    case ENC_HEIGHT: m_height = value; break;
    case ENC_FAILED: m_failure = value; break;
    case ENC_PROBE_DONE: FinishHead(); break;
    default: break;
    }
    return 0;
}

void ProbeQueue::FinishHead()
{
    const QString path = m_pending.front();
    m_pending.pop_front();
    if (m_failure != 0) {
        AddProblem(path, QString::fromLatin1(EncoderFailureText(m_failure)));
    } else if (m_table.IsFull()) {
        ++m_leftOut;
    } else {
        m_table.ClearProbeSlot();
        m_table.StoreProbeDuration(m_duration);
        m_table.StoreProbeWidth(m_width);
        m_table.StoreProbeHeight(m_height);
        m_table.AppendProbedRow(path);
    }
    StartHead();
}

void ProbeQueue::AddProblem(const QString &path, const QString &reason)
{
    m_problems << QStringLiteral("%1: %2").arg(path, reason);
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

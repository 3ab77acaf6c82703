#pragma once

#include <QObject>
#include <QStringList>

#include <deque>
#include <functional>

class EncoderLauncher;
class SourceTable;
struct ConversionSettings;

// The files chosen to be added, each probed by the encoder in turn before it
// becomes a row of the source table. One probe runs at a time; the message
// that ends one probe starts the next. Files chosen while probes are still
// waiting join the end of the queue.
//
// A file that the encoder cannot read is not added,
// and neither is a file that no longer fits the table; when the queue runs
// dry, one message lists them. The window may hold that message back (while
// a batch runs or a file chooser is open) and ask for it later.
class ProbeQueue : public QObject
{
    Q_OBJECT

public:
    ProbeQueue(SourceTable &table, ConversionSettings &settings, EncoderLauncher &launcher,
               QObject *parent = nullptr);

    // Queues the files and starts probing if no probe runs. `folderField` is
    // the output folder as typed; it becomes the setting and is created.
    // False, with a message shown, when the folder cannot be created; the
    // files are then not queued.
    bool Add(const QStringList &paths, const QString &folderField);

    // A message of a probe job.
    int OnEncoderMessage(int code, int value);

    // Says whether the message about files not added may be shown now; a
    // message that may not waits for the next ReportProblems.
    void SetReportGate(std::function<bool()> mayReport) { m_mayReport = std::move(mayReport); }

    // A file that is not added for a reason found before probing; it joins
    // the next message about files not added.
    void AddProblem(const QString &path, const QString &reason);

    // Shows the message about files not added, if there is one, no probe
    // runs and the gate allows it.
    void ReportProblems();

    bool IsRunning() const { return m_running; }
    int PendingCount() const { return int(m_pending.size()); }

private:
    void StartHead();
    void FinishHead();

    SourceTable &m_table;
    ConversionSettings &m_settings;
    EncoderLauncher &m_launcher;
    std::deque<QString> m_pending;  // the head is being probed while m_running
    bool m_running = false;

    // What the running probe reported; written to the table only when its
    // row is added, so rows removed meanwhile cannot mix files' values.
    int m_duration = 0;
    int m_width = 0;
    int m_height = 0;
    int m_failure = 0;

    QStringList m_problems;  // files not added, with the reason
    int m_leftOut = 0;       // files that did not fit
    std::function<bool()> m_mayReport;
};

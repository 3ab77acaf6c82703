#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <deque>
#include <functional>

class EncoderJob;
class SourceTable;
struct ConversionSettings;

// The files chosen to be added, each probed by the encoder before it becomes
// a row of the source table. Up to a number of probes run at once (JobCount,
// as for conversions); the end of one starts the next. Files become rows in
// the order they were chosen, whichever probe ends first. Files chosen while
// probes are still waiting join the end of the queue.
//
// A file that the encoder cannot read is not added, and neither is a file
// that no longer fits the table; when the queue runs dry, one message lists
// them. The window may hold that message back (while a batch runs or a file
// chooser is open) and ask for it later.
class ProbeQueue : public QObject
{
    Q_OBJECT

public:
    ProbeQueue(SourceTable &table, ConversionSettings &settings, QObject *parent = nullptr);

    // Queues the files and starts probing if no probe runs. `folderField` is
    // the output folder as typed; it becomes the setting and is created.
    // False, with a message shown, when the folder cannot be created; the
    // files are then not queued.
    bool Add(const QStringList &paths, const QString &folderField);

    // As Add, for names that did not come from a file chooser (the command
    // line, a drop): those that name no file, or a folder, are reported with
    // the files the encoder cannot read.
    void AddNamed(const QStringList &paths, const QString &folderField);

    // Says whether the message about files not added may be shown now; a
    // message that may not waits for the next ReportProblems.
    void SetReportGate(std::function<bool()> mayReport) { m_mayReport = std::move(mayReport); }

    // Shows the message about files not added, if there is one, no probe
    // runs and the gate allows it.
    void ReportProblems();

    // Drops every file still waiting; the running probes' encoders are told
    // to end. Nothing more is reported.
    void Cancel();

    bool IsRunning() const { return m_running; }
    int PendingCount() const { return int(m_pending.size()); }
    int ProbingCount() const { return m_probing; }
    // Files not added since the queue was made (for a run without windows).
    int ProblemCount() const { return m_problemCount; }

Q_SIGNALS:
    // The queue has run dry: every file chosen so far is a row or reported.
    void Idle();

private:
    // A file chosen, waiting, being probed or probed.
    struct File {
        unsigned id = 0;
        QString path;
        QPointer<EncoderJob> job;  // while it is being probed
        bool started = false;
        bool done = false;
        bool probed = false;  // the probe found a video
        bool leftOut = false; // the table was full
        QString failure;
        int duration = 0;
        int width = 0;
        int height = 0;
    };

    void Advance();
    void StartProbes();
    void Start(File &file);
    File *Find(unsigned id);
    void Finish(unsigned id, const QString &failure);
    void TakeFinished();
    void AddProblem(const QString &path, const QString &reason);

    SourceTable &m_table;
    ConversionSettings &m_settings;
    std::deque<File> m_pending;  // in the order chosen
    unsigned m_nextId = 0;
    int m_probing = 0;
    bool m_running = false;

    QStringList m_problems;  // files not added, with the reason
    int m_leftOut = 0;       // files that did not fit
    int m_problemCount = 0;
    std::function<bool()> m_mayReport;
};

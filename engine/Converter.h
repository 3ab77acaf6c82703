#pragma once

#include "engine/ConversionBatch.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class EncoderJob;
class SourceRows;
struct ConversionSettings;

// Convert: every row of the source list, started in list order, up to a
// number of encoder jobs at a time (JobCount: one per core unless the
// settings say otherwise; with one, row after row). It checks that there is
// something to do, makes the output folder, starts the rows, takes the jobs'
// progress and ends, asks whether to stop once a stop was requested, and
// shows the final report; the batch's figures are kept in its
// ConversionBatch. What it asks and reports goes through the
// host, so it runs with a window and without one; a window only shows what
// its signals say.
//
// A row whose output would overwrite a listed source, or a file this batch
// has already made, is refused instead of converted. A failed row does not
// stop the batch; the report names it with its reason. Rows that probes
// still running add meanwhile are converted in their turn.
class Converter : public QObject
{
    Q_OBJECT

public:
    Converter(const SourceRows &table, ConversionSettings &settings, QObject *parent = nullptr);
    ~Converter() override;

    // Starts the batch with the output folder as typed (it becomes the
    // setting). False, after a message, when there is nothing to convert or
    // the folder cannot be made.
    bool Start(const QString &folderField);

    bool IsRunning() const { return m_active; }

    // The person asked to stop (Cancel): the question comes with the next
    // progress report of any job, whose encoder waits for the answer
    // meanwhile; the others go on. "Yes" stops every running job.
    void RequestCancel();

    // Stops at once without asking (a terminal's Ctrl-C): the running
    // encoders end and remove what they wrote; files finished before stay.
    void StopNow();

    // A progress report: `seconds` reached in running row `row`. 1 when the
    // job is to stop.
    int ReportProgress(int row, double seconds);

    // A message of running row `row`'s job, as its codes say; the answer to
    // a progress report.
    int OnEncoderMessage(int row, int code, int value);

    const ConversionBatch &State() const { return m_batch; }
    // After a batch: it ran to its end and every row was converted whole
    // (none failed, none was cut at the end position).
    bool AllConvertedWhole() const
    {
        return m_completed && m_batch.Failures().isEmpty() && m_batch.Cuts().isEmpty();
    }

Q_SIGNALS:
    // The batch began; the progress shows `text` and a bar at 0 of 1000.
    void Started(const QString &text);
    void Progressed(const QString &text, int permille);
    // A row's conversion begins (`row` counts from 0), and it ends:
    // converted, or not, for the reason `failure` gives. Rows begin in list
    // order; with several jobs they may end in any order. A row still
    // running when the batch stops does not end.
    void RowStarted(int row, const QString &source);
    void RowEnded(int row, const QString &failure);
    // No job runs any more (the last row ended, or a stop): whatever shows
    // the progress puts it away. A report, if any, comes next.
    void ProgressOver();
    // Nothing of the batch runs or remains to be said, its report included.
    void Idle();

private:
    // A row being converted.
    struct Running {
        int row = 0;
        QPointer<EncoderJob> job;  // none for a refused row
        QString output;            // the file it makes
        QString failure;           // why it failed, empty while it did not
    };

    void StartRows();
    void StartRow(int row, int codecThreads);
    QStringList OutputsTaken() const;
    Running *Find(int row);
    void OnFileDone(int row);
    void ShowProgress(const std::optional<ConversionBatch::Display> &display);
    void End();
    void ReleaseJobs();

    const SourceRows &m_table;
    ConversionSettings &m_settings;
    ConversionBatch m_batch;
    std::vector<Running> m_running;  // in the order they started
    int m_jobLimit = 1;
    QString m_folder;             // absolute, as the batch started
    QStringList m_outputs;        // files this batch has made
    bool m_active = false;        // a batch runs
    bool m_asking = false;        // the stop question is open
    unsigned m_generation = 0;    // counts batches, so a stale event can tell
    bool m_completed = false;
};

#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <optional>

// The ledger of one run of Convert over the whole list, kept by the
// Converter: which rows have been started, how far each running row has
// come, how much of the list's duration is done, what the progress window
// shows and what the final report says. Several rows may run at once; the
// batch's position is the finished rows' durations plus every running row's
// reached seconds. It runs nothing itself.
class ConversionBatch
{
public:
    struct Display {
        QString text;  // "Total time:..;Elapsed time:..;Finished 25.0%"
        int permille;  // the bar's position, 0 to 1000
    };

    // The progress text before the first report.
    static QString StartText();

    // A new batch from row 0; the cancel request is cleared. The last
    // progress value and the pump counter carry over from earlier batches.
    void Start(std::uint32_t tick);

    // The row to start next, which then counts as started.
    int StartNextRow() { return m_nextRow++; }
    // How many rows have been started in this batch.
    int StartedRows() const { return m_nextRow; }

    // A report of `seconds` reached in running row `row` (whose probed
    // duration is `rowDuration`), against the list's total duration.
    // Nothing to show when it names the same point of the batch as the
    // previous report or the batch would be more than complete. A row never
    // passes the end of its own share: a file that turns out longer than
    // probed, or whose probe found 0 seconds, holds it. The bar never moves
    // back within a batch, not even when rows join the list meanwhile.
    std::optional<Display> TakeProgress(int row, double seconds, double rowDuration, double totalDuration,
                                        std::uint32_t now);
    // The same without a report: the batch's position as it stands (after
    // a row has finished).
    std::optional<Display> TakeProgress(double totalDuration, std::uint32_t now);

    // Counts a report; true every hundredth, when an extra pump is due.
    bool CountReport();

    // Running row `row` has finished; `rowDuration` is its duration.
    void FinishRow(int row, double rowDuration);
    int FinishedRows() const { return m_finishedRows; }

    // Row `row` failed; kept for the final report, which lists rows in list
    // order whatever order they ended in.
    void RecordFailure(int row, const QString &source, const QString &reason);
    QStringList Failures() const;

    // Row `row` was converted only up to the end position, `seconds` into a
    // source of `sourceSeconds`; the report says so.
    void RecordCut(int row, const QString &source, int seconds, int sourceSeconds);
    QStringList Cuts() const;

    // The final report: a summary, and one line per file that could not be
    // converted or was cut, with the reason.
    QString CompletionText(std::uint32_t now, int rowCount) const;
    QString Details() const;

    double FinishedSeconds() const { return m_finishedSeconds; }

    bool CancelRequested() const { return m_cancelRequested != 0; }
    void RequestCancel() { m_cancelRequested = 1; }
    void ClearCancel() { m_cancelRequested = 0; }

private:
    std::uint32_t m_startTick = 0;
    int m_nextRow = 0;
    int m_finishedRows = 0;
    double m_finishedSeconds = 0.0;
    struct Reached {
        double reported = 0.0;  // the row's last report
        double share = 0.0;     // as much of it as lies within the row's share
    };
    std::map<int, Reached> m_reached;  // by running row
    int m_cancelRequested = 0;
    double m_lastProgressValue = 999.0;  // batch position of the last report taken
    int m_shownPermille = 0;             // the bar's position in this batch
    int m_pumpCounter = 0;
    std::map<int, QString> m_failures;  // by row
    std::map<int, QString> m_cuts;
    int m_cutSeconds = 0;
};

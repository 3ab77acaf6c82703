#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// The ledger of one run of Convert over the whole list, kept by the
// Converter: which row is being converted, how much of the list's duration
// is done, what the progress window shows and what the final report says.
// It runs nothing itself.
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

    // A report of `seconds` reached in the current row (whose probed
    // duration is `rowDuration`), against the list's total duration.
    // Nothing to show when it names the same point of the batch as the
    // previous report or the batch would be more than complete. The bar
    // never passes the end of the current row's share: a file that turns
    // out longer than probed, or whose probe found 0 seconds, holds it.
    std::optional<Display> TakeProgress(double seconds, double rowDuration, double totalDuration,
                                        std::uint32_t now);

    // Counts a report; true every hundredth, when an extra pump is due.
    bool CountReport();

    // The current row has finished; `rowDuration` is its duration.
    void FinishRow(double rowDuration);

    // The current row failed; kept for the final report.
    void RecordFailure(const QString &source, const QString &reason);
    const QStringList &Failures() const { return m_failures; }

    // The current row was converted only up to the end position, `seconds`
    // into a source of `sourceSeconds`; the report says so.
    void RecordCut(const QString &source, int seconds, int sourceSeconds);
    const QStringList &Cuts() const { return m_cuts; }

    // The final report: a summary, and one line per file that could not be
    // converted or was cut, with the reason.
    QString CompletionText(std::uint32_t now, int rowCount) const;
    QString Details() const;

    int CurrentRow() const { return m_currentRow; }
    double FinishedSeconds() const { return m_finishedSeconds; }

    bool CancelRequested() const { return m_cancelRequested != 0; }
    void RequestCancel() { m_cancelRequested = 1; }
    void ClearCancel() { m_cancelRequested = 0; }

private:
    std::uint32_t m_startTick = 0;
    int m_currentRow = 0;
    double m_finishedSeconds = 0.0;
    int m_cancelRequested = 0;
    double m_lastProgressValue = 999.0;  // batch position of the last report taken
    int m_pumpCounter = 0;
    QStringList m_failures;
    QStringList m_cuts;
    int m_cutSeconds = 0;
};

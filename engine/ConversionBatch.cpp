#include "engine/ConversionBatch.h"

#include "engine/TimeText.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Milliseconds as seconds for FormatHms; always fits, as the value is
// at most 2^32 - 1 milliseconds.
int WholeSeconds(std::uint32_t milliseconds)
{
    return static_cast<int>(milliseconds / 1000);
}

QStringList InRowOrder(const std::map<int, QString> &lines)
{
    QStringList list;
    for (const auto &[row, line] : lines)
        list << line;
    return list;
}

} // namespace

QString ConversionBatch::StartText()
{
    return QStringLiteral("Total time:00:00:00,Elapsed time:00:00:00;Finished 0.0%");
}

void ConversionBatch::Start(std::uint32_t tick)
{
    m_startTick = tick;
    m_cancelRequested = 0;
    m_finishedSeconds = 0.0;
    m_nextRow = 0;
    m_finishedRows = 0;
    m_reached.clear();
    m_shownPermille = 0;
    m_failures.clear();
    m_cuts.clear();
}

bool ConversionBatch::CountReport()
{
    if (++m_pumpCounter < 100)
        return false;
    m_pumpCounter = 0;
    return true;
}

std::optional<ConversionBatch::Display> ConversionBatch::TakeProgress(int row, double seconds,
                                                                       double rowDuration,
                                                                       double totalDuration,
                                                                       std::uint32_t now)
{
    // A file's reports stay within its own share of the batch, or the bar
    // would run into the share of the files after it and then move back:
    // a file longer than its probe said (a recording whose parts the probe
    // could not all see) waits at its end while the time goes on, and one
    // whose probe found no length has no share and holds the bar.
    Reached &running = m_reached[row];
    running.reported = seconds;
    running.share = std::clamp(seconds, 0.0, std::max(rowDuration, 0.0));
    return TakeProgress(totalDuration, now);
}

std::optional<ConversionBatch::Display> ConversionBatch::TakeProgress(double totalDuration, std::uint32_t now)
{
    double reached = m_finishedSeconds;
    double position = m_finishedSeconds;
    for (const auto &[other, itsReached] : m_reached) {
        reached += itsReached.share;
        position += itsReached.reported;
    }

    // Compared as a position in the whole batch: the same second of the
    // next file is progress, and a list of short files must not freeze the
    // bar at the value its first file reached.
    if (position == m_lastProgressValue)
        return std::nullopt;
    m_lastProgressValue = position;

    // Without any known duration nothing can be measured against: the
    // batch shows 0.0% rather than dividing by zero.
    const double permille =
        totalDuration > 0.0 ? reached * 1000.0 / totalDuration : 0.0;
    if (permille > 1000.0)
        return std::nullopt;
    // Rows a probe adds during the batch make the total longer; the bar
    // waits for the batch to catch up rather than move back.
    const int p = std::max(static_cast<int>(permille), m_shownPermille);
    m_shownPermille = p;

    const std::uint32_t elapsed = now - m_startTick;  // wraps like the tick count
    std::uint32_t estimate = 0;
    if (permille != 0.0) {
        const double total = std::trunc(double(elapsed) * 1000.0 / std::max(permille, double(p)));
        estimate = total >= double(std::numeric_limits<std::uint32_t>::max())
            ? std::numeric_limits<std::uint32_t>::max()
            : static_cast<std::uint32_t>(total);
    } else if (totalDuration > 0.0) {
        estimate = static_cast<std::uint32_t>(std::min(std::trunc(totalDuration), 4294967.0)) * 1000u;
    } else {
        // Nothing known: the time so far is the best lower bound there is.
        estimate = elapsed;
    }

    Display display;
    display.permille = p;
    display.text = QStringLiteral("Total time:%1;Elapsed time:%2;Finished %3.%4%")
                       .arg(FormatHms(WholeSeconds(estimate)), FormatHms(WholeSeconds(elapsed)))
                       .arg(p / 10)
                       .arg(p % 10);
    return display;
}

void ConversionBatch::FinishRow(int row, double rowDuration)
{
    m_reached.erase(row);
    ++m_finishedRows;
    m_finishedSeconds += rowDuration;
    // The next file's first report is news even where a file that ran
    // longer than probed already reported the same batch position.
    m_lastProgressValue = -1.0;
}

void ConversionBatch::RecordFailure(int row, const QString &source, const QString &reason)
{
    m_failures[row] = QStringLiteral("%1: %2").arg(source, reason);
}

QStringList ConversionBatch::Failures() const
{
    return InRowOrder(m_failures);
}

void ConversionBatch::RecordCut(int row, const QString &source, int seconds, int sourceSeconds)
{
    m_cutSeconds = seconds;
    m_cuts[row] = QStringLiteral("%1: cut at %2 of its %3").arg(source, FormatHms(seconds), FormatHms(sourceSeconds));
}

QStringList ConversionBatch::Cuts() const
{
    return InRowOrder(m_cuts);
}

QString ConversionBatch::CompletionText(std::uint32_t now, int rowCount) const
{
    const QString time = FormatHms(WholeSeconds(now - m_startTick));
    QString text = m_failures.empty()
        ? QStringLiteral("Mission accomplished! Total Time:%1").arg(time)
        : QStringLiteral("Finished with errors. Total Time:%1\n\n%2 of %3 files could not be converted.")
              .arg(time)
              .arg(int(m_failures.size()))
              .arg(rowCount);
    if (!m_cuts.empty()) {
        const QString files = m_cuts.size() == 1
            ? QStringLiteral("1 file was")
            : QStringLiteral("%1 files were").arg(int(m_cuts.size()));
        text += (m_failures.empty() ? QStringLiteral("\n\n") : QStringLiteral(" "))
            + QStringLiteral("%1 longer than %2 and cut there.").arg(files, FormatHms(m_cutSeconds));
    }
    return text;
}

QString ConversionBatch::Details() const
{
    return (Failures() + Cuts()).join(QLatin1Char('\n'));
}

#include "sources/SourceTable.h"

#include "engine/TimeText.h"

#include <algorithm>
#include <cmath>
#include <utility>

SourceTable::SourceTable(QObject *parent)
    : QAbstractTableModel(parent)
{
}

QString SourceTable::Path(int row) const
{
    return IsRow(row) ? m_paths[row] : QString();
}

QString SourceTable::NumberText(int row) const
{
    // Ten blanks before the number, as the list has always shown it.
    return IsRow(row) ? QStringLiteral("          %1").arg(row + 1) : QString();
}

QString SourceTable::DurationText(int row) const
{
    return IsRow(row) ? m_durationTexts[row] : QString();
}

double SourceTable::Duration(int row) const
{
    return IsRow(row) ? m_durations[row] : 0.0;
}

int SourceTable::Width(int row) const
{
    return IsRow(row) ? m_widths[row] : 0;
}

int SourceTable::Height(int row) const
{
    return IsRow(row) ? m_heights[row] : 0;
}

void SourceTable::ClearProbeSlot()
{
    if (IsFull())
        return;
    m_durations[m_rowCount] = 0.0;
    m_widths[m_rowCount] = 0;
    m_heights[m_rowCount] = 0;
}

bool SourceTable::StoreProbeDuration(int seconds)
{
    if (IsFull())
        return false;
    m_durations[m_rowCount] = seconds;
    return true;
}

bool SourceTable::StoreProbeWidth(int pixels)
{
    if (IsFull())
        return false;
    m_widths[m_rowCount] = pixels;
    return true;
}

bool SourceTable::StoreProbeHeight(int pixels)
{
    if (IsFull())
        return false;
    m_heights[m_rowCount] = pixels;
    return true;
}

bool SourceTable::AppendProbedRow(const QString &path)
{
    if (IsFull())
        return false;
    const int row = m_rowCount;
    const double duration = m_durations[row];
    beginInsertRows({}, row, row);
    m_paths[row] = path;
    m_durationTexts[row] = FormatHms(static_cast<int>(std::trunc(duration)));
    m_totalDuration += duration;
    m_rowCount = row + 1;
    endInsertRows();
    return true;
}

bool SourceTable::RemoveRow(int row)
{
    if (!IsRow(row))
        return false;
    beginRemoveRows({}, row, row);
    m_totalDuration -= m_durations[row];
    for (int i = row; i + 1 < m_rowCount; ++i) {
        m_paths[i] = std::move(m_paths[i + 1]);
        m_durationTexts[i] = std::move(m_durationTexts[i + 1]);
        m_durations[i] = m_durations[i + 1];
        m_widths[i] = m_widths[i + 1];
        m_heights[i] = m_heights[i + 1];
    }
    --m_rowCount;
    endRemoveRows();
    // The rows that moved up show new numbers.
    if (row < m_rowCount)
        Q_EMIT dataChanged(index(row, NumberColumn), index(m_rowCount - 1, NumberColumn));
    return true;
}

bool SourceTable::SwapRows(int from, int to)
{
    if (!IsRow(from) || !IsRow(to) || from == to)
        return false;
    std::swap(m_paths[from], m_paths[to]);
    std::swap(m_durationTexts[from], m_durationTexts[to]);
    std::swap(m_durations[from], m_durations[to]);
    std::swap(m_widths[from], m_widths[to]);
    std::swap(m_heights[from], m_heights[to]);
    Q_EMIT dataChanged(index(std::min(from, to), PathColumn),
                       index(std::max(from, to), DurationColumn));
    return true;
}

void SourceTable::SetColumns(const QStringList &headers, const QList<Qt::Alignment> &alignments)
{
    m_headers = headers;
    m_alignments = alignments;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

QVariant SourceTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_headers.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_headers[section];
    if (role == Qt::TextAlignmentRole && section < m_alignments.size())
        return int(m_alignments[section] | Qt::AlignVCenter);
    return {};
}

int SourceTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int SourceTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SourceTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !IsRow(index.row()))
        return {};
    if (role == Qt::TextAlignmentRole && index.column() < m_alignments.size())
        return int(m_alignments[index.column()] | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case NumberColumn: return NumberText(index.row());
    case PathColumn: return Path(index.row());
    case DurationColumn: return DurationText(index.row());
    default: return {};
    }
}

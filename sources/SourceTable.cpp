#include "sources/SourceTable.h"

#include "platform/FileNames.h"

#include "engine/TimeText.h"

#include <algorithm>
#include <cmath>

namespace {

QString StateText(SourceTable::State state)
{
    switch (state) {
    case SourceTable::State::Converting: return QStringLiteral("converting");
    case SourceTable::State::Converted: return QStringLiteral("converted");
    case SourceTable::State::NotConverted: return QStringLiteral("not converted");
    case SourceTable::State::Waiting: break;
    }
    return {};
}

} // namespace

SourceTable::SourceTable(QObject *parent)
    : QAbstractTableModel(parent)
{
}

QString SourceTable::Path(int row) const
{
    return IsRow(row) ? m_rows[row].path : QString();
}

QString SourceTable::NumberText(int row) const
{
    // Ten blanks before the number, as the list has always shown it.
    return IsRow(row) ? QStringLiteral("          %1").arg(row + 1) : QString();
}

QString SourceTable::DurationText(int row) const
{
    return IsRow(row) ? FormatHms(static_cast<int>(std::trunc(m_rows[row].duration))) : QString();
}

double SourceTable::Duration(int row) const
{
    return IsRow(row) ? m_rows[row].duration : 0.0;
}

int SourceTable::Width(int row) const
{
    return IsRow(row) ? m_rows[row].width : 0;
}

int SourceTable::Height(int row) const
{
    return IsRow(row) ? m_rows[row].height : 0;
}

bool SourceTable::AppendRow(const Row &row)
{
    if (IsFull())
        return false;
    const int index = RowCount();
    beginInsertRows({}, index, index);
    m_rows.append(row);
    m_totalDuration += row.duration;
    endInsertRows();
    return true;
}

bool SourceTable::RemoveRow(int row)
{
    if (!IsRow(row))
        return false;
    beginRemoveRows({}, row, row);
    m_totalDuration -= m_rows[row].duration;
    m_rows.removeAt(row);
    endRemoveRows();
    // The rows that moved up show new numbers.
    if (row < RowCount())
        Q_EMIT dataChanged(index(row, NumberColumn), index(RowCount() - 1, NumberColumn));
    return true;
}

bool SourceTable::SwapRows(int from, int to)
{
    if (!IsRow(from) || !IsRow(to) || from == to)
        return false;
    m_rows.swapItemsAt(from, to);
    Q_EMIT dataChanged(index(std::min(from, to), PathColumn), index(std::max(from, to), DurationColumn));
    return true;
}

void SourceTable::SetState(int row, State state)
{
    if (!IsRow(row) || m_rows[row].state == state)
        return;
    m_rows[row].state = state;
    Q_EMIT dataChanged(index(row, NumberColumn), index(row, NumberColumn));
}

void SourceTable::ResetStates()
{
    for (int row = 0; row < RowCount(); ++row)
        SetState(row, State::Waiting);
}

void SourceTable::ResetStates(State from)
{
    for (int row = 0; row < RowCount(); ++row) {
        if (m_rows[row].state == from)
            SetState(row, State::Waiting);
    }
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
    if (role == Qt::AccessibleTextRole)
        return m_headers[section].trimmed();
    if (role == Qt::TextAlignmentRole && section < m_alignments.size())
        return int(m_alignments[section] | Qt::AlignVCenter);
    return {};
}

int SourceTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : RowCount();
}

int SourceTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString SourceTable::Text(int row, int column) const
{
    switch (column) {
    case NumberColumn: return NumberText(row);
    case PathColumn: return ReadableFileName(Path(row));
    case DurationColumn: return DurationText(row);
    default: return {};
    }
}

QVariant SourceTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !IsRow(index.row()))
        return {};
    if (role == Qt::TextAlignmentRole && index.column() < m_alignments.size())
        return int(m_alignments[index.column()] | Qt::AlignVCenter);
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return Text(index.row(), index.column());
    if (role == Qt::AccessibleTextRole)
        return Text(index.row(), index.column()).trimmed();
    if (index.column() == NumberColumn) {
        const State state = m_rows[index.row()].state;
        if (role == Qt::DecorationRole && m_marks.contains(state))
            return m_marks[state];
        if (role == Qt::AccessibleDescriptionRole)
            return StateText(state);
    }
    return {};
}

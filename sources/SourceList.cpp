#include "sources/SourceList.h"

#include "platform/Host.h"
#include "sources/SourceTable.h"

SourceList::SourceList(SourceTable &table, SourceListView &view, QObject *parent)
    : QObject(parent)
    , m_table(table)
    , m_view(view)
{
}

void SourceList::OnRemoveFile()
{
    const int row = m_view.SelectedRow();
    if (m_table.RowCount() == 0 || row < 0)
        return;
    m_table.RemoveRow(row);
    Q_EMIT RowRemoved(row);
    if (row < m_table.RowCount()) {
        m_view.SelectRow(row);
        m_view.FocusList();
    } else {
        m_view.ClearSelection();
    }
}

void SourceList::OnMoveUp()
{
    MoveSelected(-1);
}

void SourceList::OnMoveDown()
{
    MoveSelected(+1);
}

void SourceList::MoveSelected(int step)
{
    if (m_table.RowCount() < 2)
        return;
    const int row = m_view.SelectedRow();
    if (row < 0) {
        Host::Instance().MessageBox(QStringLiteral("No item was selected!"), QStringLiteral("Warning"),
                                    Host::Buttons::Ok, Host::Icon::None);
        return;
    }
    const int target = row + step;
    if (target >= 0 && target < m_table.RowCount()) {
        // The numbers stay; the files and what is known of them move.
        m_table.SwapRows(row, target);
        Q_EMIT RowsSwapped(row, target);
        m_view.SelectRow(target);
    }
    m_view.FocusList();
}

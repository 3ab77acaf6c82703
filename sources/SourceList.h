#pragma once

#include <QObject>

class SourceTable;

// What the list commands need of the list on the screen.
class SourceListView
{
public:
    virtual ~SourceListView() = default;
    // -1 when no row is selected.
    virtual int SelectedRow() const = 0;
    // Selects the row alone, makes it current and scrolls it into view.
    virtual void SelectRow(int row) = 0;
    virtual void ClearSelection() = 0;
    virtual void FocusList() = 0;
};

// The commands that remove and reorder files: on the table first, then on
// what the list shows. The selection stays on the file that moved; after the
// last row is removed nothing is selected, so a second Remove removes
// nothing by surprise.
class SourceList : public QObject
{
    Q_OBJECT

public:
    SourceList(SourceTable &table, SourceListView &view, QObject *parent = nullptr);

    void OnRemoveFile();
    void OnMoveUp();
    void OnMoveDown();

Q_SIGNALS:
    // What the preview must follow: a row went away, two rows changed places.
    void RowRemoved(int row);
    void RowsSwapped(int first, int second);

private:
    void MoveSelected(int step);

    SourceTable &m_table;
    SourceListView &m_view;
};

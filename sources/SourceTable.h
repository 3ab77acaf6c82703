#pragma once

#include "engine/SourceRows.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>


// The source list: up to 99 files in the order they will be converted, with
// what the encoder's probe reported for each (duration, picture size). The
// list control on the main window is only a view of it.
class SourceTable : public QAbstractTableModel, public SourceRows
{
    Q_OBJECT

public:
    static constexpr int kCapacity = 99;

    enum Column { NumberColumn = 0, PathColumn = 1, DurationColumn = 2, ColumnCount = 3 };

    // Where a row stands in the batch that runs or ran last.
    enum class State { Waiting, Converting, Converted, NotConverted };

    struct Row {
        QString path;
        double duration = 0.0;  // seconds, as the probe reported them
        int width = 0;          // the picture as a player shows it, pixels
        int height = 0;
        State state = State::Waiting;
    };

    explicit SourceTable(QObject *parent = nullptr);

    int RowCount() const override { return int(m_rows.size()); }
    bool IsFull() const { return RowCount() >= kCapacity; }

    QString Path(int row) const override;
    QString NumberText(int row) const;
    QString DurationText(int row) const;
    double Duration(int row) const override;
    int Width(int row) const override;
    int Height(int row) const override;
    double TotalDuration() const override { return m_totalDuration; }
    void SetTotalDuration(double seconds) { m_totalDuration = seconds; }

    // Appends a probed file; false when the table is full.
    bool AppendRow(const Row &row);

    // Removes a row, moving the later rows up and renumbering them; the
    // total duration drops by the row's duration.
    bool RemoveRow(int row);

    // Exchanges two rows' files; the numbers stay.
    bool SwapRows(int from, int to);

    // A row's place in the batch, shown beside its number: a mark while it
    // is converted and once it is done, and in words for screen readers.
    void SetState(int row, State state);
    State StateOf(int row) const { return IsRow(row) ? m_rows[row].state : State::Waiting; }
    // Every row back to waiting (a new batch); `from`: only rows in that state.
    void ResetStates();
    void ResetStates(State from);

    // Column headers and how each column's text is aligned, and the marks
    // of the states, set by the window that shows the table.
    void SetColumns(const QStringList &headers, const QList<Qt::Alignment> &alignments);
    void SetStateMarks(const QMap<State, QIcon> &marks) { m_marks = marks; }

    // The model's view of it. The texts are drawn as the list has always
    // shown them, padding included; screen readers get them without it.
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    bool IsRow(int row) const { return row >= 0 && row < RowCount(); }
    QString Text(int row, int column) const;

    QList<Row> m_rows;
    double m_totalDuration = 0.0;
    QStringList m_headers;
    QList<Qt::Alignment> m_alignments;
    QMap<State, QIcon> m_marks;
};

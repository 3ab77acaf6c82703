#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// The source list: up to 99 files in the order they will be converted, with
// what the encoder's probe reported for each (duration, picture size). The
// list control on the main window is only a view of it.
//
// The probe of a file stores its values in the slot of the row the file is
// about to become (index = row count); appending the row then makes the slot
// part of the table. Entries at and beyond the row count are left alone when
// rows go away, but a new probe clears its slot first, so a file whose probe
// reports nothing never inherits the values of a removed row.
class SourceTable : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int kCapacity = 99;

    enum Column { NumberColumn = 0, PathColumn = 1, DurationColumn = 2, ColumnCount = 3 };

    explicit SourceTable(QObject *parent = nullptr);

    int RowCount() const { return m_rowCount; }
    bool IsFull() const { return m_rowCount >= kCapacity; }

    QString Path(int row) const;
    QString NumberText(int row) const;
    QString DurationText(int row) const;
    double Duration(int row) const;
    int Width(int row) const;
    int Height(int row) const;
    double TotalDuration() const { return m_totalDuration; }
    void SetTotalDuration(double seconds) { m_totalDuration = seconds; }

    // Probe slot: what the next appended row will carry. Writes are refused
    // (false) when the table is full.
    void ClearProbeSlot();
    bool StoreProbeDuration(int seconds);
    bool StoreProbeWidth(int pixels);
    bool StoreProbeHeight(int pixels);

    // Appends the file whose values are in the probe slot; false when full.
    bool AppendProbedRow(const QString &path);

    // Removes a row, moving the later rows (and their data) up and
    // renumbering them; the total duration drops by the row's duration.
    bool RemoveRow(int row);

    // Exchanges two rows' paths, durations and sizes; the numbers stay.
    bool SwapRows(int from, int to);

    // Column headers and how each column's text is aligned, set by the
    // window that shows the table.
    void SetColumns(const QStringList &headers, const QList<Qt::Alignment> &alignments);

    // The model's view of it.
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    bool IsRow(int row) const { return row >= 0 && row < m_rowCount; }

    int m_rowCount = 0;
    std::array<QString, kCapacity> m_paths;
    std::array<QString, kCapacity> m_durationTexts;
    std::array<double, kCapacity> m_durations{};
    std::array<int, kCapacity> m_widths{};
    std::array<int, kCapacity> m_heights{};
    double m_totalDuration = 0.0;
    QStringList m_headers;
    QList<Qt::Alignment> m_alignments;
};

#pragma once

#include <QString>

// What the batch reads of the list of files to convert, row by row in list
// order: the source table offers it.
class SourceRows
{
public:
    virtual ~SourceRows() = default;
    virtual int RowCount() const = 0;
    virtual QString Path(int row) const = 0;
    virtual double Duration(int row) const = 0;  // seconds, as probed
    virtual int Width(int row) const = 0;        // the picture as a player shows it
    virtual int Height(int row) const = 0;
    virtual double TotalDuration() const = 0;
};

#pragma once

#include <QFile>
#include <QString>

#include <functional>

// The tips file: one tip per line; lines that start with a blank, a tab or
// ";", and empty lines, are not tips. Reading goes on from where the last
// showing stopped and wraps round at the end.
class TipsFile
{
public:
    explicit TipsFile(const QString &path);

    bool IsOpen() const { return m_file.isOpen(); }

    // The file's creation time as text, to notice a replaced file.
    QString TimeStamp() const;

    bool Seek(qint64 offset);
    qint64 Position() const { return m_file.pos(); }

    // The next tip, its line end included. A file without any tip gives an
    // empty text after one pass instead of reading for ever. `onTrouble` is
    // told when the file cannot be rewound.
    QString ReadNextTip(const std::function<void()> &onTrouble = {});

    static bool IsTipLine(const QByteArray &line);

private:
    // One line of at most kMaxLine bytes; longer lines continue as the next
    // line. Null at the end of the file.
    QByteArray ReadLine();

    static constexpr int kMaxLine = 999;

    QFile m_file;
};

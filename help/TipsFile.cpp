#include "help/TipsFile.h"

#include <QDateTime>
#include <QFileInfo>

TipsFile::TipsFile(const QString &path)
    : m_file(path)
{
    m_file.open(QIODevice::ReadOnly);
}

QString TipsFile::TimeStamp() const
{
    const QFileInfo info(m_file);
    QDateTime time = info.birthTime();
    if (!time.isValid())
        time = info.metadataChangeTime();
    return time.toString(Qt::ISODateWithMs);
}

bool TipsFile::Seek(qint64 offset)
{
    return offset >= 0 && m_file.seek(offset);
}

bool TipsFile::IsTipLine(const QByteArray &line)
{
    if (line.isEmpty())
        return false;
    const char first = line.front();
    return first != ' ' && first != '\t' && first != '\n' && first != '\r' && first != ';';
}

QByteArray TipsFile::ReadLine()
{
    QByteArray line;
    char c = 0;
    while (line.size() < kMaxLine && m_file.getChar(&c)) {
        line += c;
        if (c == '\n')
            break;
    }
    return line;
}

QString TipsFile::ReadNextTip(const std::function<void()> &onTrouble)
{
    if (!IsOpen())
        return {};
    bool wrapped = false;
    for (;;) {
        const QByteArray line = ReadLine();
        if (line.isEmpty()) {
            // The end: start again from the top, once.
            if (wrapped)
                return {};
            wrapped = true;
            if (!m_file.seek(0)) {
                if (onTrouble)
                    onTrouble();
                return {};
            }
            continue;
        }
        if (IsTipLine(line))
            return QString::fromUtf8(line);
    }
}

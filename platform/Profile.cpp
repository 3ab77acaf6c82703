#include "platform/Profile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <limits>

namespace {

// Name of the section a "[name]" line opens, or a null string for other lines.
QString SectionName(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('[')))
        return {};
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    if (close < 0)
        return {};
    return trimmed.mid(1, close - 1).trimmed();
}

bool IsComment(const QString &trimmed)
{
    return trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#'));
}

bool SameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool HasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

// A key line is read back as a key only if it does not look like a comment,
// and not like a section once the value holds a "]".
bool StartsLikeOtherLine(const QString &trimmedKey)
{
    return IsComment(trimmedKey) || trimmedKey.startsWith(QLatin1Char('['));
}

} // namespace

ProfileFile::ProfileFile(QString path)
    : m_path(std::move(path))
    , m_lineEnd(QStringLiteral("\n"))
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        // A file that is there but cannot be read must not be replaced by
        // one that holds only the keys written later.
        m_unreadable = file.exists();
        return;
    }
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    if (bytes.contains("\r\n"))
        m_lineEnd = QStringLiteral("\r\n");
    // Invalid UTF-8 becomes replacement characters: junk reads as junk, it
    // never stops the reading of the lines around it.
    m_lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    for (QString &line : m_lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    // A file ending in a line end splits into a last, empty element.
    if (!m_lines.isEmpty() && m_lines.last().isEmpty())
        m_lines.removeLast();
}

int ProfileFile::FindSection(const QString &section) const
{
    for (int i = 0; i < m_lines.size(); ++i) {
        const QString name = SectionName(m_lines[i]);
        if (!name.isNull() && SameName(name, section))
            return i;
    }
    return -1;
}

int ProfileFile::FindKey(const QString &section, const QString &key) const
{
    bool inSection = false;
    for (int i = 0; i < m_lines.size(); ++i) {
        const QString &line = m_lines[i];
        const QString name = SectionName(line);
        if (!name.isNull()) {
            inSection = SameName(name, section);
            continue;
        }
        if (!inSection)
            continue;
        const QString trimmed = line.trimmed();
        if (IsComment(trimmed))
            continue;
        const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
        if (equals > 0 && SameName(trimmed.left(equals).trimmed(), key))
            return i;
    }
    return -1;
}

QString ProfileFile::Value(const QString &section, const QString &key,
                           const QString &defaultValue) const
{
    const int line = FindKey(section, key);
    if (line < 0)
        return defaultValue;
    const QString &text = m_lines[line];
    return text.mid(text.indexOf(QLatin1Char('=')) + 1).trimmed();
}

bool ProfileFile::SetValue(const QString &section, const QString &key, const QString &value)
{
    const QString cleanSection = section.trimmed();
    const QString cleanKey = key.trimmed();
    if (cleanSection.isEmpty() || cleanKey.isEmpty() || HasLineBreak(section)
        || HasLineBreak(key) || HasLineBreak(value) || cleanKey.contains(QLatin1Char('='))
        || StartsLikeOtherLine(cleanKey)
        || cleanSection.contains(QLatin1Char(']'))) {
        return false;
    }
    const QString entry = cleanKey + QLatin1Char('=') + value;

    const int keyLine = FindKey(cleanSection, cleanKey);
    if (keyLine >= 0) {
        m_lines[keyLine] = entry;
        return true;
    }
    const int sectionLine = FindSection(cleanSection);
    if (sectionLine < 0) {
        m_lines << QLatin1Char('[') + cleanSection + QLatin1Char(']') << entry;
        return true;
    }
    // After the last non-blank line of the section, so that a blank line
    // that separates it from the next section stays where it is.
    int insertAt = sectionLine + 1;
    for (int i = sectionLine + 1; i < m_lines.size() && SectionName(m_lines[i]).isNull(); ++i) {
        if (!m_lines[i].trimmed().isEmpty())
            insertAt = i + 1;
    }
    m_lines.insert(insertAt, entry);
    return true;
}

bool ProfileFile::Save() const
{
    if (m_unreadable)
        return false;
    // The person's configuration folder need not exist yet on a new system.
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray bytes;
    for (const QString &line : m_lines)
        bytes += line.toUtf8() + m_lineEnd.toLatin1();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString GetProfileString(const QString &path, const QString &section, const QString &key,
                         const QString &defaultValue)
{
    return ProfileFile(path).Value(section, key, defaultValue);
}

bool WriteProfileString(const QString &path, const QString &section, const QString &key,
                        const QString &value)
{
    ProfileFile file(path);
    return file.SetValue(section, key, value) && file.Save();
}

QString ApplicationProfilePath()
{
    QString folder = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (folder.isEmpty())
        folder = QDir::homePath() + QLatin1String("/.config");
    return folder + QLatin1String("/kelvaro.ini");
}

int GetProfileInt(const QString &path, const QString &section, const QString &key,
                  int defaultValue)
{
    const QString text = GetProfileString(path, section, key, QString());
    return text.isNull() ? defaultValue : ProfileTextToInt(text);
}

int ProfileTextToInt(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    long long value = 0;
    constexpr long long limit = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > limit)
            value = limit;
    }
    if (negative)
        return static_cast<int>(-value);
    return static_cast<int>(std::min(value, limit - 1));
}

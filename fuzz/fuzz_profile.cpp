// The profile module on arbitrary files. The option file and the application
// profile are edited by people and by other programs, so any bytes may be
// there when the program starts.
//
// Input: "section\0key\0value\0file bytes", the setting to write and the file
// it is written into. Input without three NULs is the file alone, and a
// setting the program really writes is changed in it.

#include "fuzz/FuzzTargets.h"
#include "platform/Profile.h"

#include <QList>
#include <QPair>

namespace {

using Name = QPair<QString, QString>;

// Settings the program reads; a write of another setting must leave them
// as they were.
const QList<Name> &RealNames()
{
    static const QList<Name> names = {
        {QStringLiteral("Source"), QStringLiteral("Volume")},
        {QStringLiteral("Source"), QStringLiteral("Resolution")},
        {QStringLiteral("Source"), QStringLiteral("Letterbox")},
        {QStringLiteral("Destinate"), QStringLiteral("Temporary folder")},
        {QStringLiteral("Tip"), QStringLiteral("FilePos")},
        {QStringLiteral("Tip"), QStringLiteral("TimeStamp")},
        {QStringLiteral("General"), QStringLiteral("Version")},
    };
    return names;
}

QString Text(const std::string &bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

bool SameName(const QString &a, const QString &b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

// Names made of letters, digits and blanks are what every caller uses;
// such a write must never be refused.
bool IsPlainName(const QString &name)
{
    if (name.trimmed().isEmpty())
        return false;
    for (const QChar c : name) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char(' '))
            return false;
    }
    return true;
}

} // namespace

int FuzzProfile(const uint8_t *data, size_t size)
{
    QString section = QStringLiteral("Source");
    QString key = QStringLiteral("Volume");
    QString value = QStringLiteral("150");
    const uint8_t *file = data;
    size_t fileSize = size;
    const std::vector<std::string> parts = SplitAtNul(data, size, 4);
    if (parts.size() == 4) {
        section = Text(parts[0]);
        key = Text(parts[1]);
        value = Text(parts[2]);
        fileSize = parts[3].size();
        file = data + (size - fileSize);
    }
    const QString path = QString::fromStdString(WriteTempFile("option.ini", file, fileSize));

    // A line break can never be a value read from a line: it marks "absent".
    const QString absent = QStringLiteral("\n");
    ProfileFile profile(path);
    QStringList before;
    for (const Name &name : RealNames())
        before << profile.Value(name.first, name.second, absent);
    profile.Value(section, key, absent);

    const bool set = profile.SetValue(section, key, value);
    if (IsPlainName(section) && IsPlainName(key) && !value.contains(QLatin1Char('\n'))
        && !value.contains(QLatin1Char('\r'))) {
        FUZZ_CHECK(set);
    }
    if (!set)
        return 0;
    FUZZ_CHECK(profile.Save());

    // What was written reads back, and nothing else changed meaning.
    const ProfileFile again(path);
    FUZZ_CHECK(again.Value(section.trimmed(), key.trimmed(), absent) == value.trimmed());
    for (qsizetype i = 0; i < RealNames().size(); ++i) {
        const Name &name = RealNames()[i];
        if (SameName(name.first, section) && SameName(name.second, key))
            continue;
        FUZZ_CHECK(again.Value(name.first, name.second, absent) == before[i]);
    }
    return 0;
}

KELVARO_FUZZ_ENTRY(FuzzProfile)

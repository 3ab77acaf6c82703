#pragma once

#include <QString>
#include <QStringList>

// Reads and writes "profile" files: [section] lines followed by key=value
// lines. Sections and keys match without regard to case and the first match
// wins; blanks around names and values are ignored. Every other line of the
// file (comments, unknown keys, other sections) is kept as it is on writing.
//
// A ProfileFile holds the whole file in memory, so several keys can be changed
// and then written in one atomic replacement: a crash or a full disk leaves
// either the old or the new file, never a mixture.
class ProfileFile
{
public:
    // Loads the file; a missing or unreadable file reads as empty.
    explicit ProfileFile(QString path);

    QString Value(const QString &section, const QString &key, const QString &defaultValue) const;

    // Replaces the first key of that name in the section, or adds the key to
    // the section (and the section to the end of the file). Fails, changing
    // nothing, when a name or the value holds a line break, a name is empty,
    // or the key starts like a comment or a section (";", "#", "["), since
    // each would change the meaning of the written line or of others.
    bool SetValue(const QString &section, const QString &key, const QString &value);

    // Writes the file through a temporary file beside it and a rename,
    // making its folder first if needed; on failure the old file is left
    // untouched. A file that exists but could
    // not be read is never overwritten.
    bool Save() const;

    const QString &Path() const { return m_path; }

private:
    int FindSection(const QString &section) const;
    int FindKey(const QString &section, const QString &key) const;

    QString m_path;
    QStringList m_lines;
    QString m_lineEnd;
    bool m_unreadable = false;
};

// The single-key forms, for callers that read or write one value.
QString GetProfileString(const QString &path, const QString &section, const QString &key,
                         const QString &defaultValue);
bool WriteProfileString(const QString &path, const QString &section, const QString &key,
                        const QString &value);

// The profile of the person's own settings that are not conversion settings
// (Tip of the Day): "kelvaro.ini" in $XDG_CONFIG_HOME, or in ~/.config.
QString ApplicationProfilePath();

// Reads a number from a profile, converted like atoi, or the default.
int GetProfileInt(const QString &path, const QString &section, const QString &key,
                  int defaultValue);

// Converts text like the C library's atoi: leading blanks, an optional sign,
// decimal digits; anything else ends the number, no digits give 0. Values
// beyond the 32-bit range are clamped instead of wrapping.
int ProfileTextToInt(const QString &text);

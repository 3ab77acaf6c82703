#include "platform/OpenLink.h"

#include "platform/Host.h"
#include "platform/Profile.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace {

const QString kHtmlType = QStringLiteral("text/html");

// Undoes the escapes every string value of a desktop entry may carry.
QString UnescapeValue(const QString &value)
{
    QString result;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != QLatin1Char('\\') || i + 1 == value.size()) {
            result += value[i];
            continue;
        }
        switch (value[++i].unicode()) {
        case 's': result += QLatin1Char(' '); break;
        case 'n': result += QLatin1Char('\n'); break;
        case 't': result += QLatin1Char('\t'); break;
        case 'r': result += QLatin1Char('\r'); break;
        case '\\': result += QLatin1Char('\\'); break;
        default: result += QLatin1Char('\\') + value[i]; break;  // left to the Exec quoting
        }
    }
    return result;
}

QString FindDesktopEntry(const QString &id, const QStringList &applicationFolders)
{
    for (const QString &folder : applicationFolders) {
        const QString path = folder + QLatin1Char('/') + id;
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

// The first program of a mime list's entry for web pages that is installed.
QString FirstInstalled(const QString &listFile, const QString &group,
                       const QStringList &applicationFolders)
{
    const QString ids = GetProfileString(listFile, group, kHtmlType, QString());
    for (const QString &id : ids.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString path = FindDesktopEntry(id.trimmed(), applicationFolders);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

int RunHandler(const HandlerCommand &command)
{
    qsizetype length = command.program.size();
    for (const QString &argument : command.arguments)
        length += 1 + argument.size();
    if (length > kMaxCommandLength)
        return LinkResult::kTooLong;
    const QString program = command.program.contains(QLatin1Char('/'))
        ? command.program
        : QStandardPaths::findExecutable(command.program);
    const QFileInfo info(program);
    if (program.isEmpty() || !info.isFile())
        return LinkResult::kFileNotFound;
    if (!info.isExecutable())
        return LinkResult::kAccessDenied;
    return Host::Instance().StartProgram(program, command.arguments, -1, {}) != 0
        ? LinkResult::kOpened
        : LinkResult::kOutOfResources;
}

} // namespace

std::optional<HandlerCommand> CommandFromExec(const QString &execValue, const QString &address)
{
    const QString exec = UnescapeValue(execValue);
    QStringList words;
    QString word;
    bool started = false;  // a word may be empty ("") and still count
    bool quoted = false;
    bool addressPlaced = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == QLatin1Char('"'))
                quoted = false;
            else if (c == QLatin1Char('\\') && i + 1 < exec.size()
                     && QStringLiteral("\"`$\\").contains(exec[i + 1]))
                word += exec[++i];
            else
                word += c;
        } else if (c == QLatin1Char('"')) {
            quoted = started = true;
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (started)
                words << word;
            word.clear();
            started = false;
        } else if (c == QLatin1Char('%') && i + 1 < exec.size()) {
            const QChar code = exec[++i];
            if (code == QLatin1Char('%')) {
                word += code;
                started = true;
            } else if (code == QLatin1Char('u') || code == QLatin1Char('U')) {
                word += address;
                started = addressPlaced = true;
            } else if (code == QLatin1Char('f') || code == QLatin1Char('F')) {
                const QUrl url(address);
                word += url.isLocalFile() ? url.toLocalFile() : address;
                started = addressPlaced = true;
            }
            // The icon, name and entry codes and the deprecated ones say
            // nothing the program needs to open a page.
        } else {
            word += c;
            started = true;
        }
    }
    if (quoted)
        return std::nullopt;
    if (started)
        words << word;
    if (words.isEmpty() || words.first().isEmpty())
        return std::nullopt;
    if (!addressPlaced)
        words << address;
    const QString program = words.takeFirst();
    return HandlerCommand{program, words};
}

QString DefaultHtmlHandler(const QStringList &configFolders, const QStringList &applicationFolders)
{
    const QStringList desktops =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").toLower().split(QLatin1Char(':'), Qt::SkipEmptyParts);
    QStringList lists;
    const auto addLists = [&](const QString &folder) {
        for (const QString &desktop : desktops)
            lists << folder + QLatin1Char('/') + desktop + QLatin1String("-mimeapps.list");
        lists << folder + QLatin1String("/mimeapps.list");
    };
    for (const QString &folder : configFolders)
        addLists(folder);
    for (const QString &folder : applicationFolders) {
        addLists(folder);
        lists << folder + QLatin1String("/defaults.list");
    }
    const QString chosen = QStringLiteral("Default Applications");
    for (const QString &list : lists) {
        const QString path = FirstInstalled(list, chosen, applicationFolders);
        if (!path.isEmpty())
            return path;
    }
    // No choice made anywhere: any installed program that says it can.
    for (const QString &folder : applicationFolders) {
        const QString path = FirstInstalled(folder + QLatin1String("/mimeinfo.cache"),
                                            QStringLiteral("MIME Cache"), applicationFolders);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

int OpenLink(const QString &address, int showCommand)
{
    Q_UNUSED(showCommand);
    if (Host::Instance().OpenUrl(address))
        return LinkResult::kOpened;
    const QString entry =
        DefaultHtmlHandler(QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation),
                           QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation));
    if (entry.isEmpty())
        return LinkResult::kNoAssociation;
    const QString exec = GetProfileString(entry, QStringLiteral("Desktop Entry"),
                                          QStringLiteral("Exec"), QString());
    const std::optional<HandlerCommand> command = CommandFromExec(exec, address);
    return command ? RunHandler(*command) : LinkResult::kBadAssociation;
}

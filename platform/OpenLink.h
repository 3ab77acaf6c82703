#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Opens an address the way a person expects a link to open, and answers with
// a code in the classic shell's terms so the link's error messages stay
// meaningful: above 32 is success, 32 and below name the failure.
namespace LinkResult {
constexpr int kOutOfResources = 0;   // the handler could not be started
constexpr int kFileNotFound = 2;     // the handler program does not exist
constexpr int kAccessDenied = 5;     // the handler program may not be run
constexpr int kTooLong = 8;          // the command line is longer than we run
constexpr int kBadAssociation = 27;  // the handler's desktop entry is unusable
constexpr int kNoAssociation = 31;   // no handler for web pages at all
constexpr int kOpened = 33;
} // namespace LinkResult

// The show command of the classic call; the desktop decides how windows
// appear, so it is accepted and not used.
constexpr int kShowNormal = 5;

// Asks the desktop to open the address; when it cannot, starts the desktop's
// default program for web pages with the address, without a shell.
int OpenLink(const QString &address, int showCommand);

// The longest command line the fallback starts; longer ones are refused
// rather than cut, since a cut address opens the wrong page.
constexpr qsizetype kMaxCommandLength = 32767;

struct HandlerCommand {
    QString program;
    QStringList arguments;
};

// The command of a desktop entry's Exec value (as written in the entry) for
// one address: the value's escapes and quoting are undone, the file and address field codes (%f %F %u %U) become
// the address and the others are dropped; without such a field code the
// address is added at the end. Nothing for an empty or badly quoted value.
std::optional<HandlerCommand> CommandFromExec(const QString &execValue, const QString &address);

// The desktop entry file of the default program for web pages, looked up in
// the mime lists of the configuration folders, then of the application
// folders, then in their caches; empty when there is none.
QString DefaultHtmlHandler(const QStringList &configFolders, const QStringList &applicationFolders);

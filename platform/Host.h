#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// Everything that waits for a person or reaches outside the process goes
// through this one interface: message boxes, the file and folder choosers,
// starting the encoder, the clock, opening addresses and showing help. The
// application installs the real one; tests install a scripted fake, so every
// handler can run without a person or a display.
class Host
{
public:
    enum class Icon { None, Information, Warning, Error, Question };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    virtual ~Host() = default;

    // `details`, when given, is shown in a scrollable area under the text,
    // so that a long list (a line per file) cannot push the box off the
    // screen; the text itself should then be a short summary.
    virtual Answer MessageBox(const QString &text, const QString &caption, Buttons buttons,
                              Icon icon, const QString &details = QString()) = 0;

    // Paths of the chosen files, in the order the chooser gives them; empty
    // when the person cancelled. `filter` is "label|patterns|...||".
    virtual QStringList ChooseFilesToOpen(const QString &title, const QString &filter) = 0;

    // The chosen folder, or a null string when the person cancelled.
    virtual QString ChooseFolder(const QString &title, const QString &startFolder) = 0;

    // Starts `program` with `arguments` (no shell) and lets it inherit the
    // descriptor `inheritedFd` under the same number (-1: none), with
    // `environment` ("NAME=value") added to ours. Nothing waits for the
    // program, but it is reaped when it ends (ProgramEnds). Its process id,
    // or 0 when it could not be started.
    virtual qint64 StartProgram(const QString &program, const QStringList &arguments, int inheritedFd,
                                const QStringList &environment) = 0;

    // Monotonic milliseconds; wraps like a 32-bit tick count.
    virtual std::uint32_t TickCount() = 0;

    // Opens an address with the desktop's handler.
    virtual bool OpenUrl(const QString &address) = 0;

    // The folder of the running program, with a trailing '/'.
    virtual QString ProgramFolder() = 0;

    // The caption of the program's message boxes: the executable's name
    // without extension.
    static QString ApplicationTitle();

    // The one installed host. Installing replaces the previous one; the
    // caller keeps ownership.
    static Host &Instance();
    static void Install(Host *host);
};

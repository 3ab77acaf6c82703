#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

// Starts a program from an argument vector (never through a shell), with
// standard input empty and its output going where ours goes. Each word is
// handed over as the bytes FileNameBytes gives, so a file name that is not
// UTF-8 reaches the program unchanged. The descriptor
// `inheritedFd` (-1: none) stays open in the child under the same number;
// every other descriptor of ours is created close-on-exec, so a child never
// holds another job's channel open. Returns the child's process id, or 0
// when the program could not be started. The child is reaped when it ends;
// nothing waits for it.
// `environment` ("NAME=value" words) is added to ours for the program.
// `childSetup`, when given, runs in the child just before the program starts
// (after fork, so only async-signal-safe calls): tests use it to start the
// encoder with limits.
qint64 StartProgramWithDescriptor(const QString &program, const QStringList &arguments,
                                  int inheritedFd, const QStringList &environment = {},
                                  const std::function<void()> &childSetup = {});

// The same, but the child is neither reaped nor counted: for a helper that
// lives as long as its starter and is reaped by it.
qint64 LaunchProgram(const QString &program, const QStringList &arguments, int inheritedFd,
                     const QStringList &environment = {}, const std::function<void()> &childSetup = {});

// Counts a child that was started another way (as StartProgramWithDescriptor
// counts its own), reaps it once it has ended and says so through
// ProgramEnds.
void ReapWhenEnded(qint64 pid);

// How many programs started above have not ended yet.
int RunningPrograms();

// Says when a program started above has ended and been reaped: only then is
// it certain that it no longer runs.
class ProgramEnds : public QObject
{
    Q_OBJECT

public:
    static ProgramEnds &Instance();

Q_SIGNALS:
    void Ended(qint64 pid);
};

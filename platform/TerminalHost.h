#pragma once

#include "platform/SystemHost.h"

#include <cstdio>

// The host of a run without windows, from a terminal or a script: messages
// go to standard error, nothing is ever asked (a question is answered No,
// a chooser is cancelled), programs start as they do with windows.
//
// On a terminal a progress line is rewritten in place; elsewhere (a pipe, a
// log file) each progress is a line of its own.
class TerminalHost : public SystemHost
{
public:
    explicit TerminalHost(std::FILE *out = stderr);

    Answer MessageBox(const QString &text, const QString &caption, Buttons buttons, Icon icon,
                      const QString &details) override;
    QStringList ChooseFilesToOpen(const QString &title, const QString &filter) override;
    QString ChooseFolder(const QString &title, const QString &startFolder) override;
    bool OpenUrl(const QString &address) override;

    void ShowProgress(const QString &text);
    // Ends a progress line left open on a terminal.
    void EndProgress();

private:
    void Write(const QString &text);

    std::FILE *m_out;
    bool m_terminal;
    bool m_progressOpen = false;
};

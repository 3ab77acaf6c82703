#pragma once

#include "platform/SystemHost.h"

#include <cstdio>

// The host of a run without windows, from a terminal or a script: messages
// go to standard error, nothing is ever asked (a question is answered No,
// a chooser is cancelled), programs start as they do with windows.
//
// On a terminal a progress line is rewritten in place, below the other
// lines. Elsewhere (a pipe, a log file) every line stays, so progress is
// written only when its whole percent has moved by 5 or 30 seconds after
// the last progress written.
class TerminalHost : public SystemHost
{
public:
    explicit TerminalHost(std::FILE *out = stderr);

    Answer MessageBox(const QString &text, const QString &caption, Buttons buttons, Icon icon,
                      const QString &details) override;
    QStringList ChooseFilesToOpen(const QString &title, const QString &filter) override;
    QString ChooseFolder(const QString &title, const QString &startFolder) override;
    bool OpenUrl(const QString &address) override;

    // `permille` is the share done, 0 to 1000.
    void ShowProgress(const QString &text, int permille);
    // A line of its own, always written (a file begins or ends).
    void ShowLine(const QString &text);
    // Ends a progress line left open on a terminal.
    void EndProgress();

private:
    void Write(const QString &text);

    std::FILE *m_out;
    bool m_terminal;
    bool m_progressOpen = false;
    QString m_progress;         // the progress line last shown on a terminal
    int m_writtenPercent = -1;  // elsewhere: of the last progress written
    std::uint32_t m_writtenTick = 0;
};

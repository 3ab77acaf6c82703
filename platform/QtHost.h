#pragma once

#include "platform/Host.h"

#include <QElapsedTimer>

// The real host: Qt's dialogs, processes, clock and desktop services.
class QtHost : public Host
{
public:
    QtHost();

    Answer MessageBox(const QString &text, const QString &caption, Buttons buttons,
                      Icon icon, const QString &details) override;
    QStringList ChooseFilesToOpen(const QString &title, const QString &filter) override;
    QString ChooseFolder(const QString &title, const QString &startFolder) override;
    qint64 StartProgram(const QString &program, const QStringList &arguments,
                        int inheritedFd) override;
    std::uint32_t TickCount() override;
    bool OpenUrl(const QString &address) override;
    QString ProgramFolder() override;

    // "label|patterns|...||" as Qt's name filters, each pattern matching
    // without regard to case, since Linux file names are case-sensitive.
    static QStringList ToNameFilters(const QString &filter);

private:
    QElapsedTimer m_clock;
};

#pragma once

#include "platform/SystemHost.h"

// The real host of the window program: Qt's dialogs and desktop services.
class QtHost : public SystemHost
{
public:
    Answer MessageBox(const QString &text, const QString &caption, Buttons buttons,
                      Icon icon, const QString &details) override;
    QStringList ChooseFilesToOpen(const QString &title, const QString &filter) override;
    QString ChooseFolder(const QString &title, const QString &startFolder) override;
    bool OpenUrl(const QString &address) override;

    // "label|patterns|...||" as Qt's name filters, each pattern matching
    // without regard to case, since Linux file names are case-sensitive.
    static QStringList ToNameFilters(const QString &filter);
};

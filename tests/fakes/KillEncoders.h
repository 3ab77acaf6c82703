#pragma once

#include <QDir>
#include <QFile>
#include <QString>

#include <csignal>

// Kills (SIGKILL) every running encoder whose command line contains `text`,
// as a crash or the out-of-memory killer would; returns how many.
inline int KillEncoders(const QString &text)
{
    int killed = 0;
    const QByteArray needle = QFile::encodeName(text);
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool numeric = false;
        const int number = pid.toInt(&numeric);
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!numeric || !cmdline.open(QIODevice::ReadOnly))
            continue;
        const QByteArray arguments = cmdline.readAll();
        if (arguments.contains("morlenc") && arguments.contains(needle) && ::kill(number, SIGKILL) == 0)
            ++killed;
    }
    return killed;
}

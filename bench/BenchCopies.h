#pragma once

#include <QFile>
#include <QFileInfo>
#include <QStringList>

// `count` copies of a file beside it ("clip0.avi", "clip1.avi", ...): each is
// a file of its own for the program, made without encoding it again.
inline QStringList BenchCopies(const QString &source, int count)
{
    const QFileInfo info(source);
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        paths << info.absolutePath() + QStringLiteral("/clip%1.").arg(i) + info.suffix();
        QFile::copy(source, paths.last());
    }
    return paths;
}

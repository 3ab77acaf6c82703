// Writes a profile file over and over, alternating between two complete sets
// of values, until it is killed:   profile_writer <file>
#include "platform/Profile.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    if (argc != 2)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    for (int round = 0;; ++round) {
        const QString value = round % 2 ? QStringLiteral("odd") : QStringLiteral("even");
        ProfileFile file(path);
        for (const char *key : {"Video codec", "Output quality", "Resolution", "Letterbox", "Volume"})
            file.SetValue(QStringLiteral("Source"), QString::fromLatin1(key), value + QString(200, QLatin1Char('.')));
        file.SetValue(QStringLiteral("Destinate"), QStringLiteral("Temporary folder"), value);
        file.Save();
    }
}

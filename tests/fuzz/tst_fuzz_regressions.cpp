// The fuzz targets' seeds and kept crashes, replayed as a normal test: each
// file goes through the same function libFuzzer calls, with the same checks.

#include "fuzz/FuzzTargets.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <array>

namespace {

using Target = int (*)(const uint8_t *, size_t);

struct Entry {
    const char *name;
    Target target;
};

const std::array<Entry, 5> kTargets = {{
    {"profile", FuzzProfile},
    {"channel", FuzzChannel},
    {"arguments", FuzzArguments},
    {"tips", FuzzTips},
    {"probe", FuzzProbe},
}};

QStringList FilesOf(const QString &folder)
{
    QStringList paths;
    const QDir dir(QStringLiteral(KELVARO_FUZZ_DIR) + folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

} // namespace

Q_DECLARE_METATYPE(Target)

class FuzzRegressionsTest : public QObject
{
    Q_OBJECT

private slots:
    // A renamed or emptied folder would make the replay pass by running
    // nothing.
    void every_target_has_seeds_data()
    {
        QTest::addColumn<QString>("name");
        for (const Entry &entry : kTargets)
            QTest::newRow(entry.name) << QString::fromLatin1(entry.name);
    }

    void every_target_has_seeds()
    {
        QFETCH(QString, name);
        QVERIFY2(!FilesOf(QStringLiteral("corpus/") + name).isEmpty(), qPrintable(name));
    }

    void replays_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<Target>("target");
        for (const char *kind : {"corpus/", "regressions/"}) {
            for (const Entry &entry : kTargets) {
                const QString folder = QString::fromLatin1(kind) + QString::fromLatin1(entry.name);
                for (const QString &path : FilesOf(folder)) {
                    const QString row = folder + QLatin1Char('/') + QFileInfo(path).fileName();
                    QTest::newRow(qPrintable(row)) << path << entry.target;
                }
            }
        }
    }

    void replays()
    {
        QFETCH(QString, path);
        QFETCH(Target, target);
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        const QByteArray bytes = file.readAll();
        try {
            target(reinterpret_cast<const uint8_t *>(bytes.constData()),
                   static_cast<size_t>(bytes.size()));
        } catch (const FuzzCheckFailed &failure) {
            QFAIL(failure.what.c_str());
        }
    }
};

QTEST_GUILESS_MAIN(FuzzRegressionsTest)
#include "tst_fuzz_regressions.moc"

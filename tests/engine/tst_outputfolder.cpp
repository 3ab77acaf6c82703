#include "engine/ConversionSettings.h"
#include "engine/OutputFolder.h"
#include "engine/ProgramFolder.h"
#include "engine/TemporaryOutputSweep.h"
#include "platform/TemporaryOutput.h"

#include "FakeHost.h"
#include "Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

// Restores the working directory that MakeFolder changes.
class KeepCurrentDir
{
public:
    ~KeepCurrentDir() { QDir::setCurrent(m_saved); }

private:
    QString m_saved = QDir::currentPath();
};

void Touch(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
}

// The number of a process that has ended (QProcess forgets it at the end).
qint64 EndedProcessId()
{
    QProcess ended;
    ended.start(QStringLiteral("true"));
    ended.waitForStarted();
    const qint64 pid = ended.processId();
    ended.waitForFinished();
    return pid;
}

} // namespace

class OutputFolderTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void outputPath_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("expected");
        QTest::newRow("extension replaced") << "out/" << "/v/clip.avi" << QStringList{} << "out/clip.mp4";
        QTest::newRow("separator added") << "out" << "/v/clip.avi" << QStringList{} << "out/clip.mp4";
        QTest::newRow("no extension") << "out/" << "/v/clip" << QStringList{} << "out/clip.mp4";
        QTest::newRow("name exists") << "out/" << "/v/clip.avi" << QStringList{"clip.mp4"} << "out/clip_avi.mp4";
        QTest::newRow("second name not tested again")
            << "out/" << "/v/clip.avi" << QStringList{"clip.mp4", "clip_avi.mp4"} << "out/clip_avi.mp4";
        QTest::newRow("mp4 source in the output folder")
            << "out/" << "out/clip.mp4" << QStringList{"clip.mp4"} << "out/clip_mp4.mp4";
        QTest::newRow("no extension, name exists") << "out/" << "/v/clip" << QStringList{"clip.mp4"} << "out/clip_.mp4";
        QTest::newRow("dots in folder names") << "out/" << "/v.d/x.y/clip" << QStringList{} << "out/clip.mp4";
        QTest::newRow("several dots") << "out/" << "/v/a.b.c.wmv" << QStringList{} << "out/a.b.c.mp4";
        QTest::newRow("bare file name") << "out/" << "clip.flv" << QStringList{} << "out/clip.mp4";
    }
    void outputPath()
    {
        QFETCH(QString, folder);
        QFETCH(QString, source);
        QFETCH(QStringList, existing);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString root = dir.path() + QLatin1Char('/');
        QDir().mkpath(root + QStringLiteral("out"));
        for (const QString &name : existing)
            Touch(root + QStringLiteral("out/") + name);
        ConversionSettings settings;
        settings.outputFolder = root + folder;
        const QString absoluteSource = source.startsWith(QLatin1String("out/")) ? root + source : source;
        QCOMPARE(BuildOutputPath(settings, absoluteSource), root + expected);
    }

    // A relative output folder is taken from where the program started,
    // whatever the current directory has become since (MakeFolder moves it).
    void absoluteOutputFolder_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("absolute");
        QTest::newRow("empty stays empty") << QString() << QString();
        QTest::newRow("absolute") << "/media/player/video" << "/media/player/video/";
        QTest::newRow("relative") << "My Videos/ipod/" << StartFolder() + "/My Videos/ipod/";
        QTest::newRow("home") << "~/Videos/ipod/" << QDir::homePath() + "/Videos/ipod/";
        QTest::newRow("home alone") << "~" << QDir::homePath() + "/";
        QTest::newRow("a name starting with ~") << "~old/" << StartFolder() + "/~old/";
    }
    void absoluteOutputFolder()
    {
        KeepCurrentDir keep;
        QDir::setCurrent(QDir::tempPath());
        QFETCH(QString, folder);
        QTEST(AbsoluteOutputFolder(folder), "absolute");
        ConversionSettings settings;
        settings.outputFolder = folder;
        if (!folder.isEmpty())
            QCOMPARE(BuildOutputPath(settings, "/v/clip.avi"), AbsoluteOutputFolder(folder) + "clip.mp4");
    }

    void makeFolder_data()
    {
        QTest::addColumn<QString>("path");  // "@" stands for the temporary folder
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("current");  // expected current directory on success
        QTest::newRow("nested, all missing") << "@/a/b/c" << 0 << "@/a/b/c";
        QTest::newRow("trailing separator") << "@/a/b/" << 0 << "@/a/b";
        QTest::newRow("existing") << "@" << 0 << "@";
        QTest::newRow("root") << "/" << 0 << "/";
        QTest::newRow("empty") << "" << -1 << "";
        QTest::newRow("missing relative single name") << "kelvaro-no-such-folder" << -1 << "";
        QTest::newRow("through a regular file") << "@/file/sub" << -1 << "";
        QTest::newRow("a regular file") << "@/file" << -1 << "";
        QTest::newRow("double separator") << "@/x//y" << 0 << "@/x/y";
    }
    void makeFolder()
    {
        QFETCH(QString, path);
        QFETCH(int, result);
        QFETCH(QString, current);
        KeepCurrentDir keep;
        QTemporaryDir dir;
        const QString root = QDir(dir.path()).canonicalPath();
        Touch(root + QStringLiteral("/file"));
        path.replace(QLatin1Char('@'), root);
        current.replace(QLatin1Char('@'), root);
        QCOMPARE(MakeFolder(path), result);
        if (result == 0) {
            QCOMPARE(QDir::currentPath(), current);
            QVERIFY(QFileInfo(current).isDir());
        }
    }

    void makeFolderCreatesOutermostFirstRelative()
    {
        KeepCurrentDir keep;
        QTemporaryDir dir;
        QDir::setCurrent(dir.path());
        QCOMPARE(MakeFolder(QStringLiteral("p/q")), -1);  // "p" alone cannot be made
        QVERIFY(QDir().mkdir(QStringLiteral("p")));
        QCOMPARE(MakeFolder(QStringLiteral("p/q/r")), 0);
        QCOMPARE(QDir::currentPath(), QDir(dir.path()).canonicalPath() + QStringLiteral("/p/q/r"));
    }

    void makeFolderWithoutWritePermission()
    {
        KeepCurrentDir keep;
        QTemporaryDir dir;
        ::chmod(QFile::encodeName(dir.path()).constData(), 0555);
        int result = 0;
        {
            Unprivileged asUser;
            result = MakeFolder(dir.path() + QStringLiteral("/new"));
        }
        ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
        QCOMPARE(result, -1);
        QVERIFY(!QFileInfo::exists(dir.path() + QStringLiteral("/new")));
    }

    // Only what this computer's encoders left, whose encoder is gone and
    // whose lock nobody holds, is removed; nothing else that looks similar.
    void abandonedTemporaryOutputs_data()
    {
        QTest::addColumn<QString>("name");  // HOST: this computer, DEAD: an ended process, ME: this one
        QTest::addColumn<bool>("locked");
        QTest::addColumn<bool>("removed");
        QTest::newRow("ours, encoder gone") << ".morlenc-HOST-DEAD-0.part" << false << true;
        QTest::newRow("ours, still locked") << ".morlenc-HOST-DEAD-1.part" << true << false;
        QTest::newRow("ours, encoder running") << ".morlenc-HOST-ME-0.part" << false << false;
        QTest::newRow("another computer's") << ".morlenc-0badc0de-DEAD-0.part" << false << false;
        QTest::newRow("a person's, upper case") << ".MORLENC-HOST-DEAD-0.PART" << false << false;
        QTest::newRow("a person's notes") << ".morlenc-2024-notes.part" << false << false;
        QTest::newRow("without a computer") << ".morlenc-DEAD-0.part" << false << false;
        QTest::newRow("one part more") << ".morlenc-HOST-DEAD-0-1.part" << false << false;
    }
    void abandonedTemporaryOutputs()
    {
        QFETCH(QString, name);
        QFETCH(bool, locked);
        const qint64 dead = EndedProcessId();
        name.replace(QStringLiteral("HOST"), QString::fromStdString(TemporaryOutput::HostId()));
        name.replace(QStringLiteral("DEAD"), QString::number(dead));
        name.replace(QStringLiteral("ME"), QString::number(QCoreApplication::applicationPid()));
        QTemporaryDir dir;
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (locked)
            QCOMPARE(TemporaryOutput::TryLock(file.handle()), TemporaryOutput::Lock::Taken);
        RemoveAbandonedTemporaryOutputs(dir.path());
        QTEST(!QFile::exists(file.fileName()), "removed");
    }

    void onlyTheNamedEncodersFiles()
    {
        const qint64 dead = EndedProcessId();
        QTemporaryDir dir;
        const auto make = [&](long long pid) {
            const QString path = dir.filePath(QString::fromStdString(TemporaryOutput::Name(TemporaryOutput::HostId(), pid, 0)));
            Touch(path);
            return path;
        };
        const QString theirs = make(dead);
        const QString other = make(dead + 1000000);
        QCOMPARE(RemoveAbandonedTemporaryOutputs(dir.path(), dead), 1);
        QVERIFY(!QFile::exists(theirs));
        QVERIFY(QFile::exists(other));
    }

    void programFolderComesFromTheHost()
    {
        FakeHost host;
        host.programFolder = QStringLiteral("/opt/kelvaro/");
        QCOMPARE(GetProgramFolder(), QStringLiteral("/opt/kelvaro/"));
        QCOMPARE(EncoderProgramPath(), QStringLiteral("/opt/kelvaro/morlenc"));
    }
};

QTEST_GUILESS_MAIN(OutputFolderTest)
#include "tst_outputfolder.moc"

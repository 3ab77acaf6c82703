#include "engine/ConversionSettings.h"
#include "engine/JobCount.h"
#include "engine/Settings.h"
#include "platform/Profile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include "tests/fakes/Unprivileged.h"

#include <sys/stat.h>

class SettingsTest : public QObject
{
    Q_OBJECT

private:
    QString Folder() const { return m_dir.path() + QLatin1Char('/'); }
    Settings::Files Files() const { return Settings::Files::Find(Folder()); }
    void WriteOptions(const QByteArray &text)
    {
        QFile file(Folder() + QStringLiteral("option.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    QByteArray ReadOptions() const
    {
        QFile file(Folder() + QStringLiteral("option.ini"));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }

    QTemporaryDir m_dir;

private Q_SLOTS:
    void init()
    {
        QFile::remove(Folder() + QStringLiteral("option.ini"));
        QFile::remove(Folder() + QStringLiteral("version.ini"));
    }

    void withoutFilesEveryDefault()
    {
        ConversionSettings settings;
        settings.codec = settings.quality = settings.resolution = settings.letterbox = settings.volume = -9;
        QCOMPARE(Settings::Load(settings, Files()), QStringLiteral("1.00"));
        QCOMPARE(settings.codec, 0);
        QCOMPARE(settings.quality, 5);
        QCOMPARE(settings.resolution, 5);
        QCOMPARE(settings.letterbox, 1);
        QCOMPARE(settings.volume, 100);
        QCOMPARE(settings.outputFolder, QDir::homePath() + QStringLiteral("/ipod video/"));

        QVERIFY(Settings::Save(settings, Files()));
        QCOMPARE(ReadOptions(), QByteArray("[Source]\nVideo codec=0\nOutput quality=5\nResolution=5\n"
                                           "Letterbox=1\nVolume=100\n[Destinate]\nTemporary folder=")
                                    + QFile::encodeName(QDir::homePath()) + "/ipod video/\n");
    }

    // Jobs at once share the cores out; a job alone leaves the libraries
    // to choose.
    void codecThreadsShareTheCores_data()
    {
        QTest::addColumn<int>("jobs");
        QTest::addColumn<int>("cores");
        QTest::addColumn<int>("threads");
        QTest::newRow("alone") << 1 << 8 << 0;
        QTest::newRow("two on two cores") << 2 << 2 << 1;
        QTest::newRow("two on eight") << 2 << 8 << 4;
        QTest::newRow("three on eight") << 3 << 8 << 2;
        QTest::newRow("more jobs than cores") << 8 << 2 << 1;
    }
    void codecThreadsShareTheCores()
    {
        QFETCH(int, jobs);
        QFETCH(int, cores);
        QTEST(JobCount::CodecThreads(jobs, cores), "threads");
    }

    void valuesTakenAsFound_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("quality");
        QTest::addColumn<int>("resolution");
        QTest::addColumn<int>("volume");
        QTest::addColumn<int>("videoBitrate");
        QTest::addColumn<int>("audioBitrate");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("jobs");  // 0: one per core
        QTest::newRow("best quality: 196 kbit/s, three jobs")
            << QByteArray("[Source]\nOutput quality=8\nResolution=0\nSimultaneous jobs=3\n") << 8 << 0 << 100 << 2500
            << 196 << 160 << 80 << 3;
        QTest::newRow("lowest, last resolution")
            << QByteArray("[Source]\nOutput quality=0\nResolution=17\n") << 0 << 17 << 100 << 216 << 32 << 784 << 288 << 0;
        QTest::newRow("resolution 40, too many jobs")
            << QByteArray("[Source]\nResolution=40\nSimultaneous jobs=65\n") << 5 << 40 << 100 << 1000 << 96 << 320 << 240
            << 0;
        QTest::newRow("garbage numbers read as 0 or their leading digits; jobs not at all")
            << QByteArray("[Source]\nOutput quality=abc\nResolution=7x\nVolume= 150%\nSimultaneous jobs=2x\n") << 0 << 7
            << 150 << 216 << 32 << 480 << 360 << 0;
        QTest::newRow("negative index")
            << QByteArray("[Source]\nOutput quality=-1\nResolution=-1\nSimultaneous jobs=-2\n") << -1 << -1 << 100
            << 1000 << 96 << 320 << 240 << 0;
    }
    void valuesTakenAsFound()
    {
        QFETCH(QByteArray, file);
        WriteOptions(file);
        ConversionSettings settings;
        Settings::Load(settings, Files());
        QTEST(settings.quality, "quality");
        QTEST(settings.resolution, "resolution");
        QTEST(settings.volume, "volume");
        QFETCH(int, jobs);
        QCOMPARE(JobCount::Of(settings), jobs > 0 ? jobs : std::max(1, QThread::idealThreadCount()));
        Settings::ApplyQuality(settings);
        Settings::ApplyResolution(settings);
        QTEST(settings.videoBitrate, "videoBitrate");
        QTEST(settings.audioBitrate, "audioBitrate");
        QTEST(settings.width, "width");
        QTEST(settings.height, "height");
        // Written back unchanged.
        QVERIFY(Settings::Save(settings, Files()));
        ConversionSettings again;
        Settings::Load(again, Files());
        QCOMPARE(again.quality, settings.quality);
        QCOMPARE(again.resolution, settings.resolution);
        QCOMPARE(again.jobs, jobs);
    }

    void itemTextsKeepTheirBlanks()
    {
        const QStringList quality = Settings::QualityItems();
        QCOMPARE(quality.size(), 9);
        QCOMPARE(quality[5], QStringLiteral("6.Good    Video:1000kbps   Audio:96kbps"));
        QCOMPARE(quality[8], QStringLiteral("9.Best    Video:2500kbps   Audio:192kbps"));
        const QStringList resolution = Settings::ResolutionItems();
        QCOMPARE(resolution.size(), 18);
        QCOMPARE(resolution[5], QStringLiteral("320 x 240"));
        QCOMPARE(resolution[17], QStringLiteral("784 x 288"));
    }

    void versionFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("version");
        QTest::newRow("present") << QByteArray("[General]\nVersion=2.5\n") << "2.5";
        QTest::newRow("key missing") << QByteArray("[General]\n") << "1.00";
        QTest::newRow("cut to 15 characters") << QByteArray("[General]\nVersion=1234567890abcdefgh\n")
                                              << "1234567890abcde";
    }
    void versionFile()
    {
        QFETCH(QByteArray, file);
        QFile version(Folder() + QStringLiteral("version.ini"));
        QVERIFY(version.open(QIODevice::WriteOnly));
        version.write(file);
        version.close();
        ConversionSettings settings;
        QTEST(Settings::Load(settings, Files()), "version");
    }

    void folderThatCannotBeStoredKeepsTheOldOne()
    {
        WriteOptions("[Destinate]\nTemporary folder=/old/\n");
        ConversionSettings settings;
        Settings::Load(settings, Files());
        settings.outputFolder = QStringLiteral("/new\nfolder/");
        settings.volume = 120;
        QVERIFY(!Settings::Save(settings, Files()));
        ConversionSettings again;
        Settings::Load(again, Files());
        QCOMPARE(again.outputFolder, QStringLiteral("/old/"));
        QCOMPARE(again.volume, 120);
    }

    void readOnlyProgramFolderKeepsTheFileInTheConfigurationFolder()
    {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        ::chmod(QFile::encodeName(m_dir.path()).constData(), 0555);
        ::chmod(QFile::encodeName(config.path()).constData(), 0777);
        bool saved = false;
        ConversionSettings again;
        {
            Unprivileged asUser;
            ConversionSettings settings;
            Settings::Load(settings, Files());
            settings.volume = 150;
            saved = Settings::Save(settings, Files());
            Settings::Load(again, Files());
        }
        ::chmod(QFile::encodeName(m_dir.path()).constData(), 0700);
        qunsetenv("XDG_CONFIG_HOME");
        QVERIFY(saved);
        QCOMPARE(again.volume, 150);
        QVERIFY(QFile::exists(config.path() + QStringLiteral("/kelvaro/option.ini")));
        QVERIFY(!QFile::exists(Folder() + QStringLiteral("option.ini")));
    }

    // An installed copy's folder is the system's, even for root, who could
    // write there; a copy built in a source tree keeps the file beside it.
    void installedCopyKeepsItsSettingsInTheConfigurationFolder_data()
    {
        QTest::addColumn<QString>("programFolder");
        QTest::addColumn<bool>("configuration");
        QTest::newRow("from the package") << "/usr/lib/kelvaro/" << true;
        QTest::newRow("under /opt") << "/opt/kelvaro/lib/kelvaro/" << true;
        QTest::newRow("built here") << "" << false;
    }
    void installedCopyKeepsItsSettingsInTheConfigurationFolder()
    {
        QFETCH(QString, programFolder);
        if (programFolder.isEmpty())
            programFolder = Folder();
        const Settings::Files files = Settings::Files::Find(programFolder);
        QTEST(files.options.endsWith(QLatin1String("/kelvaro/option.ini")), "configuration");
        QCOMPARE(files.version, programFolder + QStringLiteral("version.ini"));
    }

    // A broken option file gives the defaults and loses nothing: what cannot
    // be read is never overwritten.
    void brokenOptionFiles_data()
    {
        QTest::addColumn<int>("kind");  // 0 garbage, 1 a folder, 2 unreadable
        QTest::addColumn<bool>("saved");
        QTest::newRow("garbage") << 0 << true;
        QTest::newRow("a folder in its place") << 1 << false;
        QTest::newRow("no read permission") << 2 << false;
    }
    void brokenOptionFiles()
    {
        QFETCH(int, kind);
        const QString path = Folder() + QStringLiteral("option.ini");
        const QByteArray kept("[Source]\nVolume=150\n");
        if (kind == 1)
            QVERIFY(QDir().mkpath(path));
        else
            WriteOptions(kind == 0 ? QByteArray("\x00\xff[Source\nVolume=\x80\x81\n=\n[[", 24) : kept);
        if (kind == 2)
            ::chmod(QFile::encodeName(path).constData(), 0200);
        ConversionSettings settings;
        bool saved = false;
        ::chmod(QFile::encodeName(m_dir.path()).constData(), 0777);
        {
            Unprivileged asUser;  // so that the missing read permission binds
            Settings::Load(settings, Files());
            saved = Settings::Save(settings, Files());
        }
        ::chmod(QFile::encodeName(m_dir.path()).constData(), 0700);
        QCOMPARE(settings.volume, 100);
        QCOMPARE(settings.quality, 5);
        QTEST(saved, "saved");
        if (kind == 1)
            QVERIFY(QDir().rmdir(path));
        if (kind == 2) {
            ::chmod(QFile::encodeName(path).constData(), 0644);
            QCOMPARE(ReadOptions(), kept);
        }
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"

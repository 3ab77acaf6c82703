#include "platform/Profile.h"

#include "Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

class ProfileTest : public QObject
{
    Q_OBJECT

private:
    QString WriteFile(const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("option.ini"));
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(bytes);
        return path;
    }
    QByteArray ReadFile(const QString &path)
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }

    QTemporaryDir m_dir;

private Q_SLOTS:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        const QByteArray plain = "[Source]\nVolume=150\n[Destinate]\nTemporary folder=/v/\n";
        QTest::newRow("plain") << plain << "Source" << "Volume" << "150";
        QTest::newRow("other section") << plain << "Destinate" << "Temporary folder" << "/v/";
        QTest::newRow("names ignore case") << plain << "sOURCE" << "VOLUME" << "150";
        QTest::newRow("key of another section") << plain << "Destinate" << "Volume" << "dflt";
        QTest::newRow("missing section") << plain << "General" << "Volume" << "dflt";
        QTest::newRow("blanks trimmed")
            << QByteArray("  [ Source ]  \n  Volume  =  42  \n") << "Source" << "Volume" << "42";
        QTest::newRow("crlf") << QByteArray("[Source]\r\nVolume=7\r\n") << "Source" << "Volume" << "7";
        QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBF[Source]\nVolume=8\n") << "Source"
                                   << "Volume" << "8";
        QTest::newRow("first duplicate wins")
            << QByteArray("[Source]\nVolume=1\nVolume=2\n[source]\nVolume=3\n") << "Source"
            << "Volume" << "1";
        QTest::newRow("key in repeated section")
            << QByteArray("[Source]\nA=1\n[Other]\nB=2\n[SOURCE]\nVolume=3\n") << "Source"
            << "Volume" << "3";
        QTest::newRow("line without equals")
            << QByteArray("[Source]\nVolume\nVolume=9\n") << "Source" << "Volume" << "9";
        QTest::newRow("comment not a key")
            << QByteArray("[Source]\n;Volume=1\nVolume=2\n") << "Source" << "Volume" << "2";
        QTest::newRow("empty value is a value")
            << QByteArray("[Source]\nVolume=\n") << "Source" << "Volume" << "";
        QTest::newRow("value with equals")
            << QByteArray("[D]\nTemporary folder=/a=b/\n") << "D" << "Temporary folder" << "/a=b/";
        QTest::newRow("binary junk")
            << QByteArray("\xff\xfe[\x01]\n=\n[Source\nVolume=3\n\x80\x81=\x82\n[Source]\nVolume=5").prepend('\0')
            << "Source" << "Volume" << "5";
        QTest::newRow("before any section")
            << QByteArray("Volume=1\n[Source]\n") << "Source" << "Volume" << "dflt";
        QTest::newRow("empty file") << QByteArray() << "Source" << "Volume" << "dflt";
    }
    void reads()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        const QString path = WriteFile(file);
        QCOMPARE(GetProfileString(path, section, key, QStringLiteral("dflt")), expected);
    }

    void missingFileReadsDefaultAndIsCreatedOnWrite()
    {
        const QString direct = m_dir.filePath(QStringLiteral("fresh.ini"));
        QCOMPARE(GetProfileString(direct, QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("d")),
                 QStringLiteral("d"));
        QVERIFY(WriteProfileString(direct, QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v")));
        QCOMPARE(ReadFile(direct), QByteArray("[S]\nK=v\n"));
    }

    void writes_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("replace keeps the rest")
            << QByteArray("; settings\n[Source]\nVolume=100\nOther=x\n\n[Destinate]\nK=1\n")
            << "source" << "VOLUME" << "150"
            << QByteArray("; settings\n[Source]\nVOLUME=150\nOther=x\n\n[Destinate]\nK=1\n");
        QTest::newRow("add to section before blank line")
            << QByteArray("[Source]\nA=1\n\n[Destinate]\nK=1\n") << "Source" << "B" << "2"
            << QByteArray("[Source]\nA=1\nB=2\n\n[Destinate]\nK=1\n");
        QTest::newRow("new section at end")
            << QByteArray("[Source]\nA=1\n") << "Destinate" << "Temporary folder" << "/v/"
            << QByteArray("[Source]\nA=1\n[Destinate]\nTemporary folder=/v/\n");
        QTest::newRow("crlf file stays crlf")
            << QByteArray("[Source]\r\nA=1\r\n") << "Source" << "A" << "2"
            << QByteArray("[Source]\r\nA=2\r\n");
        QTest::newRow("only first duplicate replaced")
            << QByteArray("[S]\nA=1\nA=2\n") << "S" << "A" << "3" << QByteArray("[S]\nA=3\nA=2\n");
    }
    void writes()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        const QString path = WriteFile(before);
        QVERIFY(WriteProfileString(path, section, key, value));
        QCOMPARE(ReadFile(path), after);
    }

    void refusesTextThatWouldBreakTheFile_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("newline in value") << "S" << "K" << "a\n[Other]\nK=evil";
        QTest::newRow("carriage return in value") << "S" << "K" << "a\rb";
        QTest::newRow("newline in key") << "S" << "K\nX" << "v";
        QTest::newRow("equals in key") << "S" << "K=X" << "v";
        QTest::newRow("bracket in section") << "S]x" << "K" << "v";
        QTest::newRow("empty key") << "S" << " " << "v";
        QTest::newRow("key read back as a comment") << "S" << ";K" << "v";
        QTest::newRow("key read back as a section") << "S" << "[K" << "]v";
    }
    void refusesTextThatWouldBreakTheFile()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QString path = WriteFile("[S]\nK=old\n");
        QVERIFY(!WriteProfileString(path, section, key, value));
        QCOMPARE(ReadFile(path), QByteArray("[S]\nK=old\n"));
    }

    void severalKeysInOneReplacement()
    {
        const QString path = WriteFile("[Source]\nVolume=1\n");
        ProfileFile file(path);
        QVERIFY(file.SetValue(QStringLiteral("Source"), QStringLiteral("Volume"), QStringLiteral("2")));
        QVERIFY(file.SetValue(QStringLiteral("Destinate"), QStringLiteral("F"), QStringLiteral("/x/")));
        QCOMPARE(ReadFile(path), QByteArray("[Source]\nVolume=1\n"));  // nothing until saved
        QVERIFY(file.Save());
        QCOMPARE(ReadFile(path), QByteArray("[Source]\nVolume=2\n[Destinate]\nF=/x/\n"));
        // No temporary file is left beside it.
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("*option*")}, QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("option.ini")});
    }

    void failedWritesLeaveTheOldFile()
    {
        const QString path = WriteFile("[S]\nK=old\n");
        ::chmod(QFile::encodeName(m_dir.path()).constData(), 0555);
        bool written = true;
        {
            Unprivileged asUser;
            written = WriteProfileString(path, QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("new"));
        }
        ::chmod(QFile::encodeName(m_dir.path()).constData(), 0700);
        QVERIFY(!written);
        QCOMPARE(ReadFile(path), QByteArray("[S]\nK=old\n"));
    }

    void pathThatIsAFolderCannotBeWritten()
    {
        const QString path = m_dir.filePath(QStringLiteral("folder.ini"));
        QVERIFY(QDir().mkpath(path));
        QCOMPARE(GetProfileString(path, QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("d")),
                 QStringLiteral("d"));
        QVERIFY(!WriteProfileString(path, QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v")));
        QVERIFY(QFileInfo(path).isDir());
    }

    void unreadableFileIsNotReplaced()
    {
        const QString path = WriteFile("[S]\nOther=keep\n");
        QFile::setPermissions(path, QFileDevice::WriteOwner);
        ::chmod(QFile::encodeName(m_dir.path()).constData(), 0777);
        bool written = true;
        {
            Unprivileged asUser;
            written = WriteProfileString(path, QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v"));
        }
        ::chmod(QFile::encodeName(m_dir.path()).constData(), 0700);
        QVERIFY(!written);
        QFile::setPermissions(path, QFileDevice::WriteOwner | QFileDevice::ReadOwner);
        QCOMPARE(ReadFile(path), QByteArray("[S]\nOther=keep\n"));
    }

    void killedWriterLeavesOldOrNewNeverAMix()
    {
        const QString path = m_dir.filePath(QStringLiteral("killed.ini"));
        auto *random = QRandomGenerator::global();
        for (int round = 0; round < 25; ++round) {
            QProcess writer;
            writer.start(QStringLiteral(KELVARO_TEST_HELPER_DIR "profile_writer"), {path});
            QVERIFY(writer.waitForStarted());
            QTest::qWait(5 + random->bounded(40));
            writer.kill();
            QVERIFY(writer.waitForFinished());
            if (!QFile::exists(path))
                continue;  // killed before its first save
            ProfileFile file(path);
            const QString folder = file.Value(QStringLiteral("Destinate"), QStringLiteral("Temporary folder"), QString());
            QVERIFY2(folder == QStringLiteral("odd") || folder == QStringLiteral("even"), qPrintable(folder));
            for (const char *key : {"Video codec", "Output quality", "Resolution", "Letterbox", "Volume"})
                QCOMPARE(file.Value(QStringLiteral("Source"), QString::fromLatin1(key), QString()),
                         folder + QString(200, QLatin1Char('.')));
        }
        // No temporary file is left for the next run to trip over.
        for (const QString &name : QDir(m_dir.path()).entryList({QStringLiteral("killed.ini.*")}, QDir::Files | QDir::Hidden))
            QFile::remove(m_dir.filePath(name));
    }

    void convertsLikeAtoi_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << "150" << 150;
        QTest::newRow("leading blanks") << "  \t42" << 42;
        QTest::newRow("sign") << "-7" << -7;
        QTest::newRow("plus") << "+7" << 7;
        QTest::newRow("trailing junk") << "12abc" << 12;
        QTest::newRow("no number") << "abc" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("sign alone") << "-" << 0;
        QTest::newRow("too large") << "99999999999999" << 2147483647;
        QTest::newRow("too small") << "-99999999999999" << int(-2147483647 - 1);
    }
    void convertsLikeAtoi()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(ProfileTextToInt(text), expected);
    }
};

QTEST_GUILESS_MAIN(ProfileTest)
#include "tst_profile.moc"

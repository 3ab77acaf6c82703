#include "app/CKelvaroDlg.h"
#include "app/CProgressDlg.h"
#include "res/Templates.h"
#include "sources/SourceTable.h"

#include "FakeHost.h"
#include "KillEncoders.h"
#include "Unprivileged.h"
#include "tests/support/TestMedia.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void Chmod(const QString &path, mode_t mode)
{
    ::chmod(QFile::encodeName(path).constData(), mode);
}

} // namespace

// What happens when the world misbehaves: encoders killed, folders that
// turn read-only, a full disk, broken option files. Nothing may crash or
// hang, nothing the person had may be lost, and no unfinished output may
// look finished.
class FaultTest : public QObject
{
    Q_OBJECT

private:
    QString Source(const QString &name) const { return m_sources.path() + QLatin1Char('/') + name; }

    std::unique_ptr<CKelvaroDlg> WindowWith(const QStringList &names)
    {
        auto window = std::make_unique<CKelvaroDlg>();
        qobject_cast<QLineEdit *>(window->Control(IDC_FOLDER))->setText(m_output);
        QStringList paths;
        for (const QString &name : names)
            paths << Source(name);
        window->AddFiles(paths);
        if (!QTest::qWaitFor([&] { return window->Sources().RowCount() == names.size(); }, 30000))
            return nullptr;
        return window;
    }

    // Every MP4 in the output folder is a complete conversion.
    void VerifyOutputsComplete()
    {
        for (const QString &name : QDir(m_output).entryList({QStringLiteral("*.mp4")}, QDir::Files)) {
            const QJsonObject probe = TestMedia::Probe(m_output + name);
            const double seconds = probe.value(QStringLiteral("format")).toObject()
                                       .value(QStringLiteral("duration")).toString().toDouble();
            QVERIFY2(seconds > 1.5, qPrintable(name));
        }
    }

    FakeHost m_host;
    QTemporaryDir m_sources;
    QTemporaryDir m_outputDir;
    QString m_output;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_host.UseEncoder(QStringLiteral(KELVARO_PROGRAM_DIR "morlenc")));
        m_output = m_outputDir.path() + QStringLiteral("/out/");
        // Readable by the unprivileged encoder some tests start.
        for (const QString &folder : {m_host.programFolder, m_sources.path(), m_outputDir.path()})
            Chmod(folder, 0755);
        for (const char *name : {"a.avi", "b.avi", "c.avi"}) {
            TestMedia::VideoRecipe recipe;
            recipe.path = Source(QString::fromLatin1(name));
            recipe.seconds = 2.0;
            QCOMPARE(TestMedia::MakeVideo(recipe), QString());
        }
        TestMedia::VideoRecipe slow;
        slow.path = Source(QStringLiteral("slow.avi"));
        slow.width = 640;
        slow.height = 480;
        slow.seconds = 20.0;
        QCOMPARE(TestMedia::MakeVideo(slow), QString());
    }
    void init()
    {
        m_host.messages.clear();
        m_host.answers.clear();
        m_host.childSetup = {};
        QDir(m_output).removeRecursively();
    }

    void encodersKilledAtRandomPoints()
    {
        auto *random = QRandomGenerator::global();
        for (int round = 0; round < 4; ++round) {
            // A probe killed anywhere: the file is reported, the rest goes on.
            m_host.messages.clear();
            auto window = std::make_unique<CKelvaroDlg>();
            qobject_cast<QLineEdit *>(window->Control(IDC_FOLDER))->setText(m_output);
            window->AddFiles({Source(QStringLiteral("slow.avi")), Source(QStringLiteral("a.avi"))});
            QTest::qWait(random->bounded(60));
            KillEncoders(m_sources.path());
            QVERIFY(QTest::qWaitFor([&] {
                const int rows = window->Sources().RowCount();
                return rows == 2 || (rows == 1 && !m_host.messages.isEmpty());
            }, 30000));

            // A conversion killed anywhere: the batch ends, with a report.
            m_host.messages.clear();
            window->OnCommand(IDC_CONVERT);
            QTest::qWait(random->bounded(1500));
            KillEncoders(m_sources.path());
            QVERIFY(QTest::qWaitFor([&] { return !window->IsConverting(); }, 60000));
            QVERIFY(window->isEnabled());
            QCOMPARE(m_host.messages.size(), 1);
            VerifyOutputsComplete();
            // Nor is anything of the killed encoder's left in the folder.
            QTRY_VERIFY(QDir(m_output).entryList({QStringLiteral(".morlenc-*")}, QDir::Files | QDir::Hidden).isEmpty());
        }
    }

    void outputFolderTurnsReadOnlyMidBatch()
    {
        // Run the encoder as an ordinary user, so permissions bind for it.
        m_host.childSetup = [] {
            // A child that cannot drop root would not test the permissions.
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(127);
        };
        QVERIFY(QDir().mkpath(m_output));
        Chmod(m_output, 0777);
        auto window = WindowWith({"a.avi", "b.avi", "c.avi"});
        QVERIFY(window);
        window->OnCommand(IDC_CONVERT);
        QVERIFY(QTest::qWaitFor([&] { return QFile::exists(m_output + QStringLiteral("a.mp4")); }, 30000));
        Chmod(m_output, 0555);
        QVERIFY(QTest::qWaitFor([&] { return !window->IsConverting(); }, 60000));
        Chmod(m_output, 0755);
        const QString report = m_host.messages.last().text + QLatin1Char('\n') + m_host.messages.last().details;
        QVERIFY2(report.contains(QStringLiteral("could not be converted")), qPrintable(report));
        QVERIFY2(report.contains(Source(QStringLiteral("c.avi")) + QStringLiteral(": the output file cannot be created")),
                 qPrintable(report));
        QVERIFY(QFile::exists(Source(QStringLiteral("c.avi"))));
        // A job caught in flight by the change may be unable to remove its
        // temporary file from the read-only folder; what must never be there
        // is an unfinished file under a finished name.
        VerifyOutputsComplete();
    }

    void diskFillsUp()
    {
        // No file beyond 30 KB can be written: every conversion runs out of room.
        m_host.childSetup = [] {
            const rlimit limit{30 * 1024, 30 * 1024};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        };
        auto window = WindowWith({"a.avi", "b.avi"});
        QVERIFY(window);
        window->OnCommand(IDC_CONVERT);
        QVERIFY(QTest::qWaitFor([&] { return !window->IsConverting(); }, 60000));
        const QString report = m_host.messages.last().text + QLatin1Char('\n') + m_host.messages.last().details;
        QVERIFY2(report.contains(QStringLiteral("2 of 2 files could not be converted")), qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("is the disk full?")), qPrintable(report));
        QVERIFY(QDir(m_output).entryList(QDir::Files).isEmpty());
    }

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
        QFETCH(bool, saved);
        const QString path = m_host.programFolder + QStringLiteral("option.ini");
        QFile::remove(path);
        QDir(path).removeRecursively();
        if (kind == 1) {
            QVERIFY(QDir().mkpath(path));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(kind == 0 ? QByteArray("\x00\xff[Source\nVolume=\x80\x81\n=\n[[", 24) : QByteArray("[Source]\nVolume=150\n"));
        }
        if (kind == 2)
            Chmod(path, 0200);
        Chmod(m_host.programFolder, 0777);
        {
            Unprivileged asUser;  // so that the missing read permission binds
            auto window = std::make_unique<CKelvaroDlg>();
            QCOMPARE(window->Settings().volume, 100);
            QCOMPARE(window->Settings().quality, 5);
        }
        Chmod(m_host.programFolder, 0755);
        QCOMPARE(m_host.messages.isEmpty(), saved);
        if (!saved)
            QVERIFY(m_host.messages.first().text.startsWith(QStringLiteral("Kelvaro could not save its settings")));
        if (kind == 1)
            QVERIFY(QFileInfo(path).isDir());
        if (kind == 2) {
            Chmod(path, 0644);
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), QByteArray("[Source]\nVolume=150\n"));  // nothing lost
        }
        QFile::remove(path);
        QDir(path).removeRecursively();
    }
};

QTEST_MAIN(FaultTest)
#include "tst_faults.moc"

#include "engine/Converter.h"
#include "engine/ConversionSettings.h"
#include "sources/ProbeQueue.h"
#include "sources/SourceTable.h"

#include "FakeHost.h"
#include "KillEncoders.h"
#include "tests/support/TestMedia.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

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

// What happens when the world misbehaves, with the real encoder: encoders
// killed, folders that turn read-only, a full disk. Nothing may crash or
// hang, nothing the person had may be lost, and no unfinished output may
// look finished.
class FaultTest : public QObject
{
    Q_OBJECT

private:
    QString Source(const QString &name) const { return m_sources.path() + QLatin1Char('/') + name; }

    // The sources probed into a list, and the batch that converts it.
    struct Work {
        SourceTable table;
        ConversionSettings settings;
        ProbeQueue probes{table, settings};
        Converter converter{table, settings};
    };
    bool Probe(Work &work, const QStringList &names)
    {
        QStringList paths;
        for (const QString &name : names)
            paths << Source(name);
        work.probes.Add(paths, m_output);
        return QTest::qWaitFor([&] { return !work.probes.IsRunning(); }, 30000);
    }
    bool Convert(Work &work, const std::function<void()> &meanwhile = {})
    {
        QSignalSpy finished(&work.converter, &Converter::Idle);
        if (!work.converter.Start(m_output))
            return false;
        if (meanwhile)
            meanwhile();
        return !finished.isEmpty() || finished.wait(60000);
    }
    QString Report() const { return m_host.messages.last().text + QLatin1Char('\n') + m_host.messages.last().details; }

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
            // Probes killed anywhere: each file is added or reported.
            m_host.messages.clear();
            Work work;
            work.probes.Add({Source(QStringLiteral("slow.avi")), Source(QStringLiteral("a.avi"))}, m_output);
            QTest::qWait(random->bounded(60));
            KillEncoders(m_sources.path());
            QVERIFY(QTest::qWaitFor([&] { return !work.probes.IsRunning(); }, 30000));
            QCOMPARE(work.table.RowCount() + work.probes.ProblemCount(), 2);
            QCOMPARE(m_host.messages.size(), work.probes.ProblemCount() > 0 ? 1 : 0);
            if (work.table.RowCount() == 0)
                continue;

            // A conversion killed anywhere: the batch ends, with a report.
            m_host.messages.clear();
            QVERIFY(Convert(work, [&] {
                QTest::qWait(random->bounded(1500));
                KillEncoders(m_sources.path());
            }));
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
        Work work;
        QVERIFY(Probe(work, {"a.avi", "b.avi", "c.avi"}));
        QVERIFY(Convert(work, [&] {
            QVERIFY(QTest::qWaitFor([&] { return QFile::exists(m_output + QStringLiteral("a.mp4")); }, 30000));
            Chmod(m_output, 0555);
        }));
        Chmod(m_output, 0755);
        QVERIFY2(Report().contains(QStringLiteral("could not be converted")), qPrintable(Report()));
        QVERIFY2(Report().contains(Source(QStringLiteral("c.avi")) + QStringLiteral(": the output file cannot be created")),
                 qPrintable(Report()));
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
        Work work;
        QVERIFY(Probe(work, {"a.avi", "b.avi"}));
        QVERIFY(Convert(work));
        QVERIFY2(Report().contains(QStringLiteral("2 of 2 files could not be converted")), qPrintable(Report()));
        QVERIFY2(Report().contains(QStringLiteral("writing the output file failed")), qPrintable(Report()));
        QVERIFY(QDir(m_output).entryList(QDir::Files).isEmpty());
    }
};

QTEST_GUILESS_MAIN(FaultTest)
#include "tst_faults.moc"

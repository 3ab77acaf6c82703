#include "engine/ConversionSettings.h"
#include "sources/ProbeQueue.h"
#include "sources/SourceTable.h"

#include "FakeHost.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The test encoder acts out the scenario named by each file's name:
// "probe" reports 12 s at 640x480, "long" 360000 s, "bare" nothing at all,
// "fail" a failure, "die" dies half-way.
class ProbeQueueTest : public QObject
{
    Q_OBJECT

private:
    struct Fixture {
        SourceTable table;
        ConversionSettings settings;
        ProbeQueue probes{table, settings};
        ProbeQueue *queue = &probes;
    };

    QStringList Paths(const SourceTable &table)
    {
        QStringList paths;
        for (int i = 0; i < table.RowCount(); ++i)
            paths << table.Path(i);
        return paths;
    }

    QString Folder() const { return m_output.path() + QStringLiteral("/out/"); }

    FakeHost m_host;
    QTemporaryDir m_output;
    QString m_cwd = QDir::currentPath();

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_host.UseEncoder(QStringLiteral(KELVARO_TEST_HELPER_DIR "../platform/channel_peer")));
    }
    void init() { m_host.messages.clear(); }
    void cleanup() { QDir::setCurrent(m_cwd); }

    // Several probes run at once, yet rows join in the order chosen: the
    // first file's probe is the slowest.
    void filesBecomeRowsInOrderEachAfterItsProbe_data()
    {
        QTest::addColumn<int>("jobs");
        QTest::newRow("one at a time") << 1;
        QTest::newRow("two") << 2;
        QTest::newRow("eight") << 8;
    }
    void filesBecomeRowsInOrderEachAfterItsProbe()
    {
        QFETCH(int, jobs);
        Fixture f;
        f.settings.jobs = jobs;
        QVERIFY(f.queue->Add({"/v/split.1.avi", "/v/long.2.avi", "/v/probe.3.avi"}, Folder()));
        QCOMPARE(f.table.RowCount(), 0);  // nothing before its probe ends
        QCOMPARE(f.queue->ProbingCount(), std::min(jobs, 3));
        QVERIFY(f.queue->IsRunning());
        QTRY_COMPARE(f.table.RowCount(), 3);
        QVERIFY(!f.queue->IsRunning());
        QCOMPARE(Paths(f.table), (QStringList{"/v/split.1.avi", "/v/long.2.avi", "/v/probe.3.avi"}));
        QCOMPARE(f.table.DurationText(0), QStringLiteral("00:00:12"));
        QCOMPARE(f.table.DurationText(1), QStringLiteral("100:00:00"));
        QCOMPARE(f.table.Width(2), 640);
        QCOMPARE(f.table.Height(2), 480);
        QCOMPARE(f.table.TotalDuration(), 360024.0);
        QCOMPARE(f.queue->ProbingCount(), 0);
        QCOMPARE(f.settings.outputFolder, Folder());
        QVERIFY(QFileInfo(Folder()).isDir());
        QVERIFY(m_host.messages.isEmpty());
    }

    void filesChosenWhileProbingJoinTheQueue()
    {
        Fixture f;
        f.queue->Add({"/v/long.1.avi", "/v/probe.2.avi"}, Folder());
        f.queue->Add({"/v/probe.3.avi"}, Folder());
        QCOMPARE(f.queue->PendingCount(), 3);
        QTRY_COMPARE(f.table.RowCount(), 3);
        QCOMPARE(Paths(f.table), (QStringList{"/v/long.1.avi", "/v/probe.2.avi", "/v/probe.3.avi"}));
        QCOMPARE(f.table.Duration(0), 360000.0);
        QCOMPARE(f.table.Duration(1), 12.0);
    }

    void probeThatReportsNothingGivesAnEmptyRow()
    {
        Fixture f;
        f.queue->Add({"/v/bare.1.avi"}, Folder());
        QTRY_COMPARE(f.table.RowCount(), 1);
        QCOMPARE(f.table.Duration(0), 0.0);
        QCOMPARE(f.table.Width(0), 0);
        QCOMPARE(f.table.TotalDuration(), 0.0);
    }

    void unreadableFilesAreNotAddedAndListedOnce_data() { filesBecomeRowsInOrderEachAfterItsProbe_data(); }
    void unreadableFilesAreNotAddedAndListedOnce()
    {
        QFETCH(int, jobs);
        Fixture f;
        f.settings.jobs = jobs;
        f.queue->Add({"/v/split.1.avi", "/v/fail.2.txt", "/v/die.3.avi", "/v/probe.4.avi"}, Folder());
        QTRY_VERIFY(!f.queue->IsRunning());
        QCOMPARE(Paths(f.table), (QStringList{"/v/split.1.avi", "/v/probe.4.avi"}));
        QCOMPARE(m_host.messages.size(), 1);
        QCOMPARE(m_host.messages.first().details,
                 QStringLiteral("/v/fail.2.txt: the file cannot be opened or is not a video file\n"
                                "/v/die.3.avi: the encoder stopped unexpectedly"));
        QCOMPARE(m_host.messages.first().icon, Host::Icon::Warning);
    }

    void fullTableTakesNoMoreFiles()
    {
        Fixture f;
        f.settings.jobs = 8;
        const int startsBefore = int(m_host.starts.size());
        for (int i = 0; i < 98; ++i)
            f.table.AppendRow({QStringLiteral("/v/%1.avi").arg(i)});
        f.queue->Add({"/v/probe.98.avi", "/v/probe.99.avi", "/v/probe.100.avi"}, Folder());
        QTRY_VERIFY(!f.queue->IsRunning());
        QCOMPARE(f.table.RowCount(), 99);
        QCOMPARE(f.table.Path(98), QStringLiteral("/v/probe.98.avi"));
        QCOMPARE(m_host.messages.size(), 1);
        QVERIFY2(m_host.messages.first().text.contains(QStringLiteral("at most 99 files; 2 more files were not added")),
                 qPrintable(m_host.messages.first().text));
        QCOMPARE(int(m_host.starts.size()), startsBefore + 1);  // no probe beyond the table
    }

    void folderThatCannotBeMadeStopsTheCommand()
    {
        Fixture f;
        const int startsBefore = int(m_host.starts.size());
        QVERIFY(!f.queue->Add({"/v/probe.1.avi"}, QStringLiteral("/proc/kelvaro/videos/")));
        QCOMPARE(m_host.messages.size(), 1);
        QCOMPARE(m_host.messages.first().text, QStringLiteral("Fail to create tmp folder /proc/kelvaro/videos/"));
        QCOMPARE(m_host.messages.first().buttons, Host::Buttons::Ok);
        QCOMPARE(int(m_host.starts.size()), startsBefore);
        QCOMPARE(f.queue->PendingCount(), 0);
    }

    // Names from the command line or a drop may name anything.
    void namesThatAreNoFilesAreReported()
    {
        Fixture f;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("probe.1.avi"));
        QFile(file).open(QIODevice::WriteOnly);
        f.queue->AddNamed({file, dir.path(), dir.filePath(QStringLiteral("gone.avi"))}, Folder());
        QTRY_VERIFY(!f.queue->IsRunning());
        QCOMPARE(Paths(f.table), QStringList{file});
        QCOMPARE(f.queue->ProblemCount(), 2);
        const QString details = m_host.messages.first().details;
        QVERIFY2(details.contains(dir.path() + QStringLiteral(": it is a folder, not a file")), qPrintable(details));
        QVERIFY2(details.contains(QStringLiteral("gone.avi: the file cannot be found")), qPrintable(details));
    }

    void emptyFolderFieldIsReported()
    {
        Fixture f;
        QVERIFY(!f.queue->Add({"/v/probe.1.avi"}, QString()));
        QCOMPARE(m_host.messages.first().text, QStringLiteral("Fail to create tmp folder "));
    }
};

QTEST_GUILESS_MAIN(ProbeQueueTest)
#include "tst_probequeue.moc"

#include "engine/Converter.h"
#include "engine/ConversionSettings.h"
#include "sources/SourceTable.h"

#include "FakeHost.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The batch over the whole list, without any window. The channel test's
// peer stands in for the encoder and acts out the scenario each source's
// name says ("clip" converts, "slow" takes a while, "fail", "killed"...).
class ConverterTest : public QObject
{
    Q_OBJECT

private:
    struct Batch {
        SourceTable table;
        ConversionSettings settings;
        Converter runner{table, settings};
        QStringList shown;  // what a progress window would show
        QList<int> started;  // rows, as they began
        explicit Batch(const QStringList &sources, int jobs = 1)
        {
            settings.jobs = jobs;
            for (const QString &source : sources)
                table.AppendRow({source, 10.0, 640, 480});
            QObject::connect(&runner, &Converter::RowStarted, &runner, [this](int row) { started << row; });
            QObject::connect(&runner, &Converter::Started, &runner, [this](const QString &text) { shown << text; });
            QObject::connect(&runner, &Converter::Progressed, &runner,
                             [this](const QString &text, int) { shown << text; });
        }
    };

    // Converts to the test's output folder and waits for the end.
    bool Run(Batch &batch)
    {
        QSignalSpy finished(&batch.runner, &Converter::Idle);
        if (!batch.runner.Start(m_folder))
            return false;
        return finished.wait(20000) || !finished.isEmpty();
    }
    QStringList Outputs() const { return QDir(m_folder).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
    QString Report() const
    {
        const FakeHost::Message &last = m_host.messages.last();
        return last.text + QLatin1Char('\n') + last.details;
    }

    FakeHost m_host;
    QTemporaryDir m_dir;
    QString m_folder;
    QString m_cwd = QDir::currentPath();

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_host.UseEncoder(QStringLiteral(KELVARO_TEST_HELPER_DIR "../platform/channel_peer")));
        m_folder = m_dir.path() + QStringLiteral("/out/");
    }
    void init()
    {
        m_host.messages.clear();
        m_host.answers.clear();
        m_host.starts.clear();
        QDir(m_folder).removeRecursively();
    }
    void cleanup() { QDir::setCurrent(m_cwd); }

    // Rows start in list order whatever the number of jobs at once, and end
    // with the same files, report and a full bar.
    void convertsEveryRowInOrder_data()
    {
        QTest::addColumn<int>("jobs");
        QTest::newRow("one at a time") << 1;
        QTest::newRow("two") << 2;
        QTest::newRow("eight") << 8;
    }
    void convertsEveryRowInOrder()
    {
        QFETCH(int, jobs);
        Batch batch({"/v/clip.one.avi", "/v/clip.two.mov"}, jobs);
        // A row a probe adds while the batch runs is converted in its turn.
        connect(&batch.runner, &Converter::Started, &batch.runner,
                [&batch] { batch.table.AppendRow({QStringLiteral("/v/clip.three.flv"), 10.0, 640, 480}); });
        QVERIFY(Run(batch));
        QCOMPARE(Outputs(), (QStringList{"clip.one.mp4", "clip.three.mp4", "clip.two.mp4"}));
        QCOMPARE(batch.shown.first(), QStringLiteral("Total time:00:00:00,Elapsed time:00:00:00;Finished 0.0%"));
        QVERIFY2(batch.shown.last().endsWith(QStringLiteral("Finished 100.0%")), qPrintable(batch.shown.last()));
        QCOMPARE(batch.started, (QList<int>{0, 1, 2}));
        // Jobs side by side share the cores; the last row ends alone.
        QCOMPARE(m_host.starts.first().environment.join(',').contains(QStringLiteral("MORLENC_THREADS=")), jobs > 1);
        QCOMPARE(m_host.starts.last().environment, QStringList());
        QCOMPARE(m_host.messages.size(), 1);
        QVERIFY2(Report().startsWith(QStringLiteral("Mission accomplished! Total Time:00:00:")), qPrintable(Report()));
        QCOMPARE(m_host.messages.last().icon, Host::Icon::Information);
        QVERIFY(batch.runner.AllConvertedWhole());
        QVERIFY(!batch.runner.IsRunning());
    }

    void cancelAsksAtTheNextReport_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("outputs");
        QTest::newRow("no: it goes on") << int(Host::Answer::No) << QStringList{"clip.mp4", "slow.mp4"};
        QTest::newRow("yes: it stops, leaving nothing") << int(Host::Answer::Yes) << QStringList{};
    }
    void cancelAsksAtTheNextReport()
    {
        QFETCH(int, answer);
        Batch batch({"/v/slow.avi"});
        batch.table.AppendRow({QStringLiteral("/v/clip.avi"), 10.0, 640, 480});
        m_host.answers.enqueue(Host::Answer(answer));
        QSignalSpy ended(&batch.runner, &Converter::ProgressOver);
        connect(&batch.runner, &Converter::Progressed, &batch.runner, [&batch] {
            batch.runner.RequestCancel();
            batch.runner.RequestCancel();  // twice: still one question
        }, Qt::SingleShotConnection);
        QVERIFY(Run(batch));
        QCOMPARE(ended.size(), 1);
        QCOMPARE(m_host.messages.first().text, QStringLiteral("Do you really want to stop?"));
        QCOMPARE(m_host.messages.first().buttons, Host::Buttons::YesNo);
        const bool stopped = Host::Answer(answer) == Host::Answer::Yes;
        // A stop shows no report; otherwise the batch ends as usual.
        QCOMPARE(m_host.messages.size(), stopped ? 1 : 2);
        QFETCH(QStringList, outputs);
        QTRY_COMPARE(Outputs(), outputs);
    }

    void failedRowsDoNotStopTheBatch_data() { convertsEveryRowInOrder_data(); }
    void failedRowsDoNotStopTheBatch()
    {
        QFETCH(int, jobs);
        Batch batch({"/v/slow.a.avi", "/v/fail.b.avi", "/v/killed.c.avi", "/v/nospace.d.avi", "/v/clip.e.avi"},
                    jobs);
        QVERIFY(Run(batch));
        const QString report = Report();
        QVERIFY2(report.startsWith(QStringLiteral("Finished with errors.")), qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("3 of 5 files could not be converted.")), qPrintable(report));
        // In list order, however the rows ended.
        QCOMPARE(m_host.messages.last().details,
                 QStringLiteral("/v/fail.b.avi: the file cannot be opened or is not a video file\n"
                                "/v/killed.c.avi: the encoder stopped unexpectedly\n"
                                "/v/nospace.d.avi: writing the output file failed (no space left on device)"));
        QCOMPARE(m_host.messages.last().icon, Host::Icon::Warning);
        QVERIFY(!batch.runner.AllConvertedWhole());
        // Not even the killed encoder's temporary file is left.
        QTRY_COMPARE(Outputs(), (QStringList{"clip.e.mp4", "slow.a.mp4"}));
    }

    void outputsNeverOverwriteSourcesOrEachOther()
    {
        QVERIFY(QDir().mkpath(m_folder));
        for (const char *name : {"clip.mp4", "clip_mp4.mp4"}) {
            QFile file(m_folder + QLatin1String(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("a source");
        }
        // The first row's output would be the second row; the last two rows'
        // outputs are the same file.
        Batch batch({m_folder + "clip.mp4", m_folder + "clip_mp4.mp4", "/a/clip.avi", "/b/clip.avi", "/c/clip.avi"});
        QVERIFY(Run(batch));
        const QString report = Report();
        QVERIFY2(report.contains(m_folder + QStringLiteral("clip.mp4: its output would overwrite a file in the list")),
                 qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("/c/clip.avi: its output would replace a file converted earlier in this batch")),
                 qPrintable(report));
        QFile second(m_folder + QStringLiteral("clip_mp4.mp4"));
        QVERIFY(second.open(QIODevice::ReadOnly));
        QCOMPARE(second.readAll(), QByteArray("a source"));
    }

    void nothingToDo()
    {
        Batch empty({});
        QVERIFY(!empty.runner.Start(m_folder));
        Batch noFolder({"/v/clip.avi"});
        QVERIFY(!noFolder.runner.Start(QString()));
        QCOMPARE(m_host.messages.size(), 2);
        QCOMPARE(m_host.messages.at(0).text, QStringLiteral("No file in the list"));
        QCOMPARE(m_host.messages.at(1).text, QStringLiteral("Fail to create tmp folder "));
        QVERIFY(empty.shown.isEmpty() && noFolder.shown.isEmpty());
    }

    void longSourceIsReportedCut()
    {
        Batch batch({});
        batch.table.AppendRow({QStringLiteral("/v/clip.night.ts"), 36930.0, 720, 576});
        QVERIFY(Run(batch));
        QVERIFY2(Report().contains(QStringLiteral("1 file was longer than 09:00:00 and cut there.")), qPrintable(Report()));
        QVERIFY2(Report().contains(QStringLiteral("/v/clip.night.ts: cut at 09:00:00 of its 10:15:30")), qPrintable(Report()));
        QVERIFY(!batch.runner.AllConvertedWhole());
    }

    // A terminal's Ctrl-C reaches StopNow from the event loop: between two
    // reports, or from the pump inside one (the released jobs must then not
    // be touched again); Cancel's "Yes" stops every running job. Either way
    // each running encoder removes its unfinished file.
    void aStopEndsEveryRunningJob_data()
    {
        QTest::addColumn<QString>("stop");
        QTest::addColumn<int>("jobs");
        for (const int jobs : {1, 3}) {
            for (const char *stop : {"between reports", "inside a report", "cancel"})
                QTest::addRow("%s, %d at once", stop, jobs) << QString::fromLatin1(stop) << jobs;
        }
    }
    void aStopEndsEveryRunningJob()
    {
        QFETCH(QString, stop);
        QFETCH(int, jobs);
        Batch batch({"/v/slow.a.avi", "/v/slow.b.avi", "/v/slow.c.avi", "/v/clip.avi"}, jobs);
        QSignalSpy finished(&batch.runner, &Converter::Idle);
        QVERIFY(batch.runner.Start(m_folder));
        // Every job has begun writing.
        QTRY_COMPARE(Outputs().size(), jobs);
        if (stop == QLatin1String("inside a report")) {
            connect(&batch.runner, &Converter::Progressed, &batch.runner, [&batch] {
                QTimer::singleShot(0, &batch.runner, [&batch] { batch.runner.StopNow(); });
            }, Qt::SingleShotConnection);
        } else if (stop == QLatin1String("cancel")) {
            m_host.answers.enqueue(Host::Answer::Yes);
            batch.runner.RequestCancel();
        } else {
            batch.runner.StopNow();
        }
        QTRY_COMPARE(finished.size(), 1);
        QVERIFY(!batch.runner.IsRunning());
        QCOMPARE(m_host.messages.size(), stop == QLatin1String("cancel") ? 1 : 0);
        QTRY_COMPARE(Outputs(), QStringList{});
        QCOMPARE(batch.started.size(), jobs);
    }
};

QTEST_GUILESS_MAIN(ConverterTest)
#include "tst_converter.moc"

#include "engine/ConversionBatch.h"
#include "engine/TimeText.h"

#include <QTest>

#include <cstdint>
#include <optional>

class BatchTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void progress_data()
    {
        QTest::addColumn<double>("total");
        QTest::addColumn<double>("finished");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<uint>("start");
        QTest::addColumn<uint>("now");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("permille");

        QTest::newRow("a quarter after ten minutes")
            << 600.0 << 0.0 << 150.0 << 0u << 600000u
            << "Total time:00:40:00;Elapsed time:00:10:00;Finished 25.0%" << 250;
        QTest::newRow("earlier rows count")
            << 600.0 << 100.0 << 50.0 << 1000u << 61000u
            << "Total time:00:04:00;Elapsed time:00:01:00;Finished 25.0%" << 250;
        QTest::newRow("tenths of a percent")
            << 3000.0 << 0.0 << 37.0 << 0u << 12345u
            << "Total time:00:16:40;Elapsed time:00:00:12;Finished 1.2%" << 12;
        QTest::newRow("hundreds of hours")
            << 1000.0 << 0.0 << 500.0 << 0u << 360000000u
            << "Total time:200:00:00;Elapsed time:100:00:00;Finished 50.0%" << 500;
        QTest::newRow("tick count wraps round")
            << 100.0 << 0.0 << 50.0 << 0xFFFFF000u << 0x00001000u
            << "Total time:00:00:16;Elapsed time:00:00:08;Finished 50.0%" << 500;
        QTest::newRow("at zero the duration is the estimate")
            << 600.0 << 0.0 << 0.0 << 0u << 5000u
            << "Total time:00:10:00;Elapsed time:00:00:05;Finished 0.0%" << 0;
        QTest::newRow("no known duration: no division by zero")
            << 0.0 << 0.0 << 30.0 << 0u << 7000u
            << "Total time:00:00:07;Elapsed time:00:00:07;Finished 0.0%" << 0;
        QTest::newRow("exactly done") << 600.0 << 0.0 << 600.0 << 0u << 60000u
                                      << "Total time:00:01:00;Elapsed time:00:01:00;Finished 100.0%" << 1000;
        QTest::newRow("a tiny share does not overflow the estimate")
            << 1.0e9 << 0.0 << 1.0 << 0u << 4000000000u
            << "Total time:1193:02:47;Elapsed time:1111:06:40;Finished 0.0%" << 0;
    }
    void progress()
    {
        QFETCH(double, total);
        QFETCH(double, finished);
        QFETCH(double, seconds);
        QFETCH(uint, start);
        QFETCH(uint, now);
        ConversionBatch batch;
        batch.Start(start);
        if (finished > 0)
            batch.FinishRow(0, finished);
        const auto display = batch.TakeProgress(1, seconds, total - finished, total, now);
        QVERIFY(display);
        QTEST(display->text, "text");
        QTEST(display->permille, "permille");
    }

    void reportsThatChangeNothing()
    {
        ConversionBatch batch;
        batch.Start(0);
        // The very first report is compared with 999.
        QVERIFY(!batch.TakeProgress(0, 999.0, 2000.0, 2000.0, 10));
        QVERIFY(batch.TakeProgress(0, 150.0, 200.0, 600.0, 10));
        QVERIFY(!batch.TakeProgress(0, 150.0, 200.0, 600.0, 20));  // equal to the last one
        // The same second of the next file is further on in the batch.
        batch.FinishRow(0, 200.0);
        const auto next = batch.TakeProgress(1, 150.0, 400.0, 600.0, 30);
        QVERIFY(next);
        QCOMPARE(next->permille, 583);
        // More than complete (a total that lags behind its rows).
        QVERIFY(!batch.TakeProgress(1, 450.0, 450.0, 600.0, 40));
        QVERIFY(batch.TakeProgress(1, 300.0, 400.0, 600.0, 50));
        // A new batch keeps the last value: the same point again shows nothing.
        batch.Start(100);
        QVERIFY(!batch.TakeProgress(0, 500.0, 600.0, 600.0, 200));
    }

    // A file that turns out longer than probed waits at its own end, and one
    // probed at 0 seconds has no share at all; the elapsed time goes on and
    // the estimate grows with it. The bar never moves back.
    void fileLongerThanProbedHoldsTheBar()
    {
        ConversionBatch batch;
        batch.Start(0);
        const auto within = batch.TakeProgress(0, 100.0, 100.0, 200.0, 50000);
        QCOMPARE(within->permille, 500);
        const auto beyond = batch.TakeProgress(0, 150.0, 100.0, 200.0, 80000);
        QVERIFY(beyond);
        QCOMPARE(beyond->permille, 500);
        QCOMPARE(beyond->text, QStringLiteral("Total time:00:02:40;Elapsed time:00:01:20;Finished 50.0%"));
        batch.FinishRow(0, 100.0);
        QCOMPARE(batch.TakeProgress(1, 30.0, 0.0, 200.0, 85000)->permille, 500);
        batch.FinishRow(1, 0.0);
        QCOMPARE(batch.TakeProgress(2, 50.0, 100.0, 200.0, 90000)->permille, 750);
    }

    void listOfShortFilesStillMovesTheBar()
    {
        // Ten one-second files: every report says "1 s", yet each is progress.
        ConversionBatch batch;
        batch.Start(0);
        QList<int> bar;
        for (int file = 0; file < 10; ++file) {
            if (const auto display = batch.TakeProgress(file, 1.0, 1.0, 10.0, 100))
                bar << display->permille;
            batch.FinishRow(file, 1.0);
        }
        QCOMPARE(bar, (QList<int>{100, 200, 300, 400, 500, 600, 700, 800, 900, 1000}));
    }

    // Rows running at once: the bar counts what each has reached and every
    // finished row whole, in whatever order they end; it never moves back,
    // not even when rows join the list; the report keeps list order.
    void severalRowsAtOnce()
    {
        ConversionBatch batch;
        batch.Start(0);
        QCOMPARE(batch.StartNextRow(), 0);
        QCOMPARE(batch.StartNextRow(), 1);
        QList<int> bar;
        const auto show = [&bar](const std::optional<ConversionBatch::Display> &display) {
            bar << (display ? display->permille : -1);
        };
        show(batch.TakeProgress(0, 5.0, 10.0, 40.0, 100));
        show(batch.TakeProgress(1, 5.0, 10.0, 40.0, 100));
        show(batch.TakeProgress(1, 25.0, 10.0, 40.0, 100));  // longer than probed: held at its share
        batch.RecordFailure(1, QStringLiteral("/v/b.avi"), QStringLiteral("it failed"));
        batch.FinishRow(1, 10.0);
        show(batch.TakeProgress(40.0, 200));
        QCOMPARE(batch.StartNextRow(), 2);
        show(batch.TakeProgress(2, 2.0, 10.0, 40.0, 300));
        show(batch.TakeProgress(0, 6.0, 10.0, 80.0, 400));  // the list grew to 80 s
        batch.RecordFailure(0, QStringLiteral("/v/a.avi"), QStringLiteral("it failed too"));
        QCOMPARE(bar, (QList<int>{125, 250, 375, 375, 425, 425}));
        QCOMPARE(batch.Failures(), (QStringList{"/v/a.avi: it failed too", "/v/b.avi: it failed"}));
        QCOMPARE(batch.FinishedRows(), 1);
    }

    void pumpsEveryHundredthReport()
    {
        ConversionBatch batch;
        int due = 0;
        for (int i = 1; i <= 250; ++i)
            due += batch.CountReport() ? 1 : 0;
        QCOMPARE(due, 2);
        batch.Start(0);  // not reset by a batch
        for (int i = 0; i < 49; ++i)
            QVERIFY(!batch.CountReport());
        QVERIFY(batch.CountReport());
    }

    void startClearsTheCancelRequest()
    {
        ConversionBatch batch;
        batch.RequestCancel();
        QVERIFY(batch.CancelRequested());
        batch.Start(0);
        QVERIFY(!batch.CancelRequested());
        QCOMPARE(batch.StartedRows(), 0);
        QCOMPARE(batch.FinishedSeconds(), 0.0);
    }

    void completionText()
    {
        ConversionBatch batch;
        batch.Start(1000);
        QCOMPARE(batch.CompletionText(3726000, 3), QStringLiteral("Mission accomplished! Total Time:01:02:05"));
        batch.RecordFailure(1, QStringLiteral("/v/b.avi"), QStringLiteral("the file has no video stream"));
        QCOMPARE(batch.CompletionText(3726000, 3),
                 QStringLiteral("Finished with errors. Total Time:01:02:05\n\n1 of 3 files could not be converted."));
        QCOMPARE(batch.Details(), QStringLiteral("/v/b.avi: the file has no video stream"));
        batch.Start(0);
        QVERIFY(batch.Failures().isEmpty());
    }

    void cutFilesAreNamed()
    {
        ConversionBatch batch;
        batch.Start(0);
        batch.RecordCut(0, QStringLiteral("/v/night.ts"), 32400, 36930);
        QCOMPARE(batch.CompletionText(60000, 2),
                 QStringLiteral("Mission accomplished! Total Time:00:01:00\n\n1 file was longer than 09:00:00 and cut there."));
        batch.RecordFailure(1, QStringLiteral("/v/b.avi"), QStringLiteral("the file has no video stream"));
        batch.RecordCut(2, QStringLiteral("/v/day.ts"), 32400, 40000);
        QCOMPARE(batch.CompletionText(60000, 3),
                 QStringLiteral("Finished with errors. Total Time:00:01:00\n\n1 of 3 files could not be converted. "
                                "2 files were longer than 09:00:00 and cut there."));
        QCOMPARE(batch.Details(), QStringLiteral("/v/b.avi: the file has no video stream\n"
                                                 "/v/night.ts: cut at 09:00:00 of its 10:15:30\n"
                                                 "/v/day.ts: cut at 09:00:00 of its 11:06:40"));
    }

    void formatsHms_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0 << "00:00:00";
        QTest::newRow("3725") << 3725 << "01:02:05";
        QTest::newRow("a day") << 86400 << "24:00:00";
        QTest::newRow("100 hours") << 360000 << "100:00:00";
        QTest::newRow("int max") << 2147483647 << "596523:14:07";
    }
    void formatsHms()
    {
        QFETCH(int, seconds);
        QTEST(FormatHms(seconds), "text");
    }

};

QTEST_GUILESS_MAIN(BatchTest)
#include "tst_batch.moc"

#include "sources/SourceTable.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// Probes and appends a file the way the probe queue does.
void AddProbed(SourceTable &table, const QString &path, int seconds, int width = 640,
               int height = 480)
{
    table.ClearProbeSlot();
    table.StoreProbeDuration(seconds);
    table.StoreProbeWidth(width);
    table.StoreProbeHeight(height);
    table.AppendProbedRow(path);
}

QStringList Paths(const SourceTable &table)
{
    QStringList paths;
    for (int i = 0; i < table.RowCount(); ++i)
        paths << table.Path(i);
    return paths;
}

void VerifyInvariants(const SourceTable &table)
{
    double sum = 0;
    for (int i = 0; i < table.RowCount(); ++i) {
        QCOMPARE(table.NumberText(i), QStringLiteral("          ") + QString::number(i + 1));
        QCOMPARE(table.data(table.index(i, SourceTable::NumberColumn), Qt::DisplayRole).toString(),
                 table.NumberText(i));
        sum += table.Duration(i);
    }
    QCOMPARE(table.TotalDuration(), sum);
}

} // namespace

class SourceTableTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsEmpty()
    {
        SourceTable table;
        QCOMPARE(table.RowCount(), 0);
        QCOMPARE(table.TotalDuration(), 0.0);
        QCOMPARE(table.rowCount(), 0);
        QCOMPARE(table.columnCount(), 3);
    }

    void probeValuesWaitInTheNextSlot()
    {
        SourceTable table;
        AddProbed(table, QStringLiteral("/v/a.avi"), 10);
        table.ClearProbeSlot();
        table.StoreProbeDuration(20);
        table.StoreProbeWidth(320);
        QCOMPARE(table.RowCount(), 1);
        QCOMPARE(table.Duration(1), 0.0);  // not a row yet
        QCOMPARE(table.TotalDuration(), 10.0);
        table.AppendProbedRow(QStringLiteral("/v/b.avi"));
        QCOMPARE(table.Duration(1), 20.0);
        QCOMPARE(table.Width(1), 320);
        QCOMPARE(table.Height(1), 0);
        QCOMPARE(table.TotalDuration(), 30.0);
    }

    void clearedSlotDoesNotInheritARemovedRow()
    {
        SourceTable table;
        AddProbed(table, QStringLiteral("/v/a.avi"), 10, 720, 576);
        AddProbed(table, QStringLiteral("/v/b.avi"), 20, 720, 576);
        table.RemoveRow(1);
        table.ClearProbeSlot();  // the probe reports nothing
        table.AppendProbedRow(QStringLiteral("/v/c.avi"));
        QCOMPARE(table.Duration(1), 0.0);
        QCOMPARE(table.Width(1), 0);
        QCOMPARE(table.Height(1), 0);
    }

    void durationTexts_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("3725") << 3725 << "01:02:05";
        QTest::newRow("100 hours") << 360000 << "100:00:00";
        QTest::newRow("under a second") << 0 << "00:00:00";
    }
    void durationTexts()
    {
        QFETCH(int, seconds);
        SourceTable table;
        AddProbed(table, QStringLiteral("/v/a.avi"), seconds);
        QTEST(table.DurationText(0), "text");
        QTEST(table.data(table.index(0, SourceTable::DurationColumn), Qt::DisplayRole).toString(), "text");
    }

    void removeMovesLaterRowsUp_data()
    {
        QTest::addColumn<int>("removed");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("second of four") << 1 << QStringList{"/a", "/c", "/d"};
        QTest::newRow("first") << 0 << QStringList{"/b", "/c", "/d"};
        QTest::newRow("last") << 3 << QStringList{"/a", "/b", "/c"};
        QTest::newRow("no such row") << 4 << QStringList{"/a", "/b", "/c", "/d"};
        QTest::newRow("negative") << -1 << QStringList{"/a", "/b", "/c", "/d"};
    }
    void removeMovesLaterRowsUp()
    {
        QFETCH(int, removed);
        QFETCH(QStringList, paths);
        SourceTable table;
        const QStringList all{"/a", "/b", "/c", "/d"};
        for (int i = 0; i < all.size(); ++i)
            AddProbed(table, all[i], 10 * (i + 1), 100 + i, 200 + i);
        table.RemoveRow(removed);
        QCOMPARE(Paths(table), paths);
        for (int i = 0; i < table.RowCount(); ++i) {
            const int original = all.indexOf(table.Path(i));
            QCOMPARE(table.Duration(i), 10.0 * (original + 1));
            QCOMPARE(table.Width(i), 100 + original);
            QCOMPARE(table.Height(i), 200 + original);
        }
        VerifyInvariants(table);
    }

    void swapExchangesDataNotNumbers()
    {
        SourceTable table;
        AddProbed(table, QStringLiteral("/a"), 1, 10, 11);
        AddProbed(table, QStringLiteral("/b"), 2, 20, 21);
        AddProbed(table, QStringLiteral("/c"), 3, 30, 31);
        QSignalSpy changed(&table, &SourceTable::dataChanged);
        QVERIFY(table.SwapRows(2, 1));
        QCOMPARE(Paths(table), (QStringList{"/a", "/c", "/b"}));
        QCOMPARE(table.Duration(1), 3.0);
        QCOMPARE(table.Width(1), 30);
        QCOMPARE(table.Height(2), 21);
        QCOMPARE(table.DurationText(1), QStringLiteral("00:00:03"));
        QCOMPARE(table.TotalDuration(), 6.0);
        QCOMPARE(changed.count(), 1);
        QVERIFY(!table.SwapRows(2, 3));
        QVERIFY(!table.SwapRows(1, 1));
        VerifyInvariants(table);
    }

    void holdsNinetyNineRows()
    {
        SourceTable table;
        for (int i = 0; i < SourceTable::kCapacity; ++i)
            AddProbed(table, QStringLiteral("/v/%1").arg(i), 1);
        QVERIFY(table.IsFull());
        // Nothing can be written past the last slot.
        QVERIFY(!table.StoreProbeDuration(5));
        QVERIFY(!table.StoreProbeWidth(5));
        QVERIFY(!table.StoreProbeHeight(5));
        QVERIFY(!table.AppendProbedRow(QStringLiteral("/v/extra")));
        table.ClearProbeSlot();
        QCOMPARE(table.RowCount(), 99);
        QCOMPARE(table.NumberText(98), QStringLiteral("          99"));
        QCOMPARE(table.TotalDuration(), 99.0);
        table.RemoveRow(0);
        QVERIFY(table.AppendProbedRow(QStringLiteral("/v/again")));
        VerifyInvariants(table);
    }
};

QTEST_GUILESS_MAIN(SourceTableTest)
#include "tst_sourcetable.moc"

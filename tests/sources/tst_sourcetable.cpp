#include "sources/SourceTable.h"

#include <QSignalSpy>
#include <QTest>

namespace {

bool AddProbed(SourceTable &table, const QString &path, int seconds, int width = 640, int height = 480)
{
    return table.AppendRow({path, double(seconds), width, height});
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

    // What the list draws keeps its padding; screen readers get the words.
    void accessibleTextsHaveNoPadding()
    {
        SourceTable table;
        table.SetColumns({QStringLiteral(" Number"), QStringLiteral("  File path"), QStringLiteral("   Duration")},
                         {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignHCenter});
        AddProbed(table, QStringLiteral("/v/a.avi"), 3725);
        QCOMPARE(table.data(table.index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("          1"));
        QCOMPARE(table.data(table.index(0, 0), Qt::AccessibleTextRole).toString(), QStringLiteral("1"));
        QCOMPARE(table.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("  File path"));
        QCOMPARE(table.headerData(1, Qt::Horizontal, Qt::AccessibleTextRole).toString(), QStringLiteral("File path"));
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
        QVERIFY(!AddProbed(table, QStringLiteral("/v/extra"), 1));
        QCOMPARE(table.RowCount(), 99);
        QCOMPARE(table.NumberText(98), QStringLiteral("          99"));
        QCOMPARE(table.TotalDuration(), 99.0);
        table.RemoveRow(0);
        QVERIFY(AddProbed(table, QStringLiteral("/v/again"), 1));
        VerifyInvariants(table);
    }
};

QTEST_GUILESS_MAIN(SourceTableTest)
#include "tst_sourcetable.moc"

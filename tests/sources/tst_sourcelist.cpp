#include "sources/SourceList.h"
#include "sources/SourceTable.h"

#include "FakeHost.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// The list on the screen, as the commands see it.
class FakeList : public SourceListView
{
public:
    int SelectedRow() const override { return selected; }
    void SelectRow(int row) override { selected = row; }
    void ClearSelection() override { selected = -1; }
    void FocusList() override { focused = true; }

    int selected = -1;
    bool focused = false;
};

// Files a, b, c, ... with durations 10, 20, 30, ... and sizes to match.
struct Fixture {
    SourceTable table;
    FakeList list;
    SourceList commands{table, list};
    explicit Fixture(int rows)
    {
        for (int i = 0; i < rows; ++i)
            table.AppendRow({QString(QLatin1Char('a' + i)), 10.0 * (i + 1), 100 + i, 200 + i});
    }
    QString Order() const
    {
        QString order;
        for (int i = 0; i < table.RowCount(); ++i) {
            order += table.Path(i);
            // The data belongs to its file wherever the file goes.
            const int original = table.Path(i).at(0).unicode() - 'a';
            if (table.Duration(i) != 10.0 * (original + 1) || table.Width(i) != 100 + original)
                order += QLatin1Char('!');
        }
        return order;
    }
};

} // namespace

class SourceListTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_host.messages.clear(); }

    void commands_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("order");
        QTest::addColumn<int>("selectedAfter");
        QTest::addColumn<bool>("focused");
        QTest::addColumn<bool>("warned");
        QTest::newRow("remove the second of four") << 4 << 1 << "remove" << "acd" << 1 << true << false;
        QTest::newRow("remove the last") << 2 << 1 << "remove" << "a" << -1 << false << false;
        QTest::newRow("remove, nothing selected") << 2 << -1 << "remove" << "ab" << -1 << false << false;
        QTest::newRow("third up") << 3 << 2 << "up" << "acb" << 1 << true << false;
        QTest::newRow("first down") << 3 << 0 << "down" << "bac" << 1 << true << false;
        QTest::newRow("first up: focus only") << 3 << 0 << "up" << "abc" << 0 << true << false;
        QTest::newRow("last down: focus only") << 3 << 2 << "down" << "abc" << 2 << true << false;
        QTest::newRow("move, nothing selected") << 3 << -1 << "up" << "abc" << -1 << false << true;
        QTest::newRow("one row, nothing selected") << 1 << -1 << "down" << "a" << -1 << false << false;
    }
    void commands()
    {
        QFETCH(int, rows);
        QFETCH(int, selected);
        QFETCH(QString, command);
        Fixture f(rows);
        f.list.selected = selected;
        if (command == QLatin1String("remove"))
            f.commands.OnRemoveFile();
        else if (command == QLatin1String("up"))
            f.commands.OnMoveUp();
        else
            f.commands.OnMoveDown();
        QTEST(f.Order(), "order");
        QTEST(f.list.selected, "selectedAfter");
        QTEST(f.list.focused, "focused");
        QFETCH(bool, warned);
        QCOMPARE(m_host.messages.size(), warned ? 1 : 0);
        if (warned) {
            QCOMPARE(m_host.messages.first().text, QStringLiteral("No item was selected!"));
            QCOMPARE(m_host.messages.first().caption, QStringLiteral("Warning"));
        }
        double total = 0;
        for (int i = 0; i < f.table.RowCount(); ++i)
            total += f.table.Duration(i);
        QCOMPARE(f.table.TotalDuration(), total);
    }

    // The preview follows its file by these.
    void changesAreAnnounced()
    {
        Fixture f(3);
        QSignalSpy removed(&f.commands, &SourceList::RowRemoved);
        QSignalSpy swapped(&f.commands, &SourceList::RowsSwapped);
        f.list.selected = 2;
        f.commands.OnMoveUp();
        f.commands.OnRemoveFile();
        QCOMPARE(swapped.takeFirst(), (QVariantList{2, 1}));
        QCOMPARE(removed.takeFirst(), QVariantList{1});
    }

private:
    FakeHost m_host;
};

QTEST_GUILESS_MAIN(SourceListTest)
#include "tst_sourcelist.moc"

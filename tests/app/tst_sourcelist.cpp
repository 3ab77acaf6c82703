#include "app/CKelvaroDlg.h"
#include "res/Menus.h"
#include "res/Templates.h"
#include "sources/SourceTable.h"

#include "FakeHost.h"
#include "tests/support/TestMedia.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

// The list commands and the settings controls, through the main window. The
// test encoder acts out the scenario named by each file's name ("probe":
// 12 s at 640x480, "hour": 3725 s, "long": 360000 s, "fail": unreadable).
class SourceListTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CKelvaroDlg> Window()
    {
        auto window = std::make_unique<CKelvaroDlg>();
        window->show();
        Folder(*window)->setText(m_output.path() + QStringLiteral("/out/"));
        return window;
    }
    static QLineEdit *Folder(CKelvaroDlg &window) { return qobject_cast<QLineEdit *>(window.Control(IDC_FOLDER)); }
    static QTreeView *List(CKelvaroDlg &window) { return qobject_cast<QTreeView *>(window.Control(IDC_LIST)); }
    static int Selected(CKelvaroDlg &window)
    {
        const QModelIndexList rows = List(window)->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.first().row();
    }
    static void Select(CKelvaroDlg &window, int row)
    {
        List(window)->selectionModel()->select(window.Sources().index(row, 0),
                                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    static QStringList Column(CKelvaroDlg &window, int column)
    {
        QStringList texts;
        SourceTable &table = window.Sources();
        for (int i = 0; i < table.rowCount(); ++i)
            texts << table.data(table.index(i, column), Qt::DisplayRole).toString();
        return texts;
    }
    // Adds files through the add command, as chosen in the file dialog.
    void AddThroughDialog(CKelvaroDlg &window, const QStringList &paths)
    {
        m_host.fileChoices.enqueue(paths);
        window.OnCommand(IDC_ADD);
    }
    void Fill(CKelvaroDlg &window, const QStringList &names)
    {
        QStringList paths;
        for (const QString &name : names)
            paths << QStringLiteral("/v/") + name;
        AddThroughDialog(window, paths);
        QTRY_COMPARE(window.Sources().RowCount(), int(names.size()));
    }
    QString OptionFile() const { return m_host.programFolder + QStringLiteral("option.ini"); }
    QByteArray ReadOptions() const
    {
        QFile file(OptionFile());
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }

    FakeHost m_host;
    QTemporaryDir m_output;
    QTemporaryDir m_videos;

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_host.UseEncoder(QStringLiteral(KELVARO_TEST_HELPER_DIR "../platform/channel_peer")));
        m_host.messages.clear();
        m_host.fileChoices.clear();
        QFile::remove(OptionFile());
    }

    void addAsksWithTheFilterAndTitle()
    {
        auto window = Window();
        AddThroughDialog(*window, {});  // cancelled
        QCOMPARE(m_host.fileDialogTitles.last(), QStringLiteral("Import video files"));
        const QString filter = m_host.fileDialogFilters.last();
        QVERIFY(filter.startsWith(QStringLiteral("All support files|*.avi;*.divx;*.div;*.xvid;*.mpeg;*.mpg;")));
        QVERIFY(filter.contains(QStringLiteral("|MP4 file (*.MP4,*.M4V)|*.mp4;*.m4v|")));
        QVERIFY(filter.endsWith(QStringLiteral("|All files (*.*)|*.*||")));
        QCOMPARE(filter.count(QLatin1Char('|')), 21);
        QCOMPARE(window->Sources().RowCount(), 0);
    }

    void realEncoderProbesThreeFilesInDialogOrder()
    {
        QVERIFY(m_host.UseEncoder(QStringLiteral(KELVARO_PROGRAM_DIR "morlenc")));
        QStringList paths;
        for (const char *name : {"c.avi", "a.mp4", "b.mpg"}) {
            TestMedia::VideoRecipe recipe;
            recipe.path = m_videos.path() + QLatin1Char('/') + QString::fromLatin1(name);
            recipe.seconds = 3.0;
            recipe.width = 352;
            recipe.height = 288;
            QCOMPARE(TestMedia::MakeVideo(recipe), QString());
            paths << recipe.path;
        }
        auto window = Window();
        AddThroughDialog(*window, paths);
        QCOMPARE(window->Sources().RowCount(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(window->Sources().RowCount(), 3, 20000);
        QCOMPARE(Column(*window, 1), paths);
        QCOMPARE(Column(*window, 0), (QStringList{"          1", "          2", "          3"}));
        QCOMPARE(Column(*window, 2), (QStringList{"00:00:03", "00:00:03", "00:00:03"}));
        QCOMPARE(window->Sources().Width(1), 352);
        QCOMPARE(window->Sources().Height(2), 288);
        QCOMPARE(window->Sources().TotalDuration(), 9.0);
    }

    void unreadableFileAmongGoodOnesWithRealEncoder()
    {
        QVERIFY(m_host.UseEncoder(QStringLiteral(KELVARO_PROGRAM_DIR "morlenc")));
        const QString text = m_videos.path() + QStringLiteral("/notes.avi");
        QFile file(text);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("these are notes, not a video\n");
        file.close();
        TestMedia::VideoRecipe recipe;
        recipe.path = m_videos.path() + QStringLiteral("/good.avi");
        QCOMPARE(TestMedia::MakeVideo(recipe), QString());
        auto window = Window();
        AddThroughDialog(*window, {recipe.path, text, QStringLiteral("/no/such/file.avi")});
        QTRY_COMPARE_WITH_TIMEOUT(m_host.messages.size(), 1, 20000);
        QCOMPARE(Column(*window, 1), QStringList{recipe.path});
        const QString message = m_host.messages.first().details;
        QVERIFY2(message.contains(text + QStringLiteral(": ")), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("/no/such/file.avi: ")), qPrintable(message));
    }

    void durationTexts()
    {
        auto window = Window();
        Fill(*window, {"hour.avi", "long.avi"});
        QCOMPARE(Column(*window, 2), (QStringList{"01:02:05", "100:00:00"}));
        QCOMPARE(window->Sources().TotalDuration(), 363725.0);
    }

    void removeTheSecondOfFour()
    {
        auto window = Window();
        Fill(*window, {"probe.1", "hour.2", "long.3", "probe.4"});
        Select(*window, 1);
        window->OnCommand(IDC_REMOVE);
        QCOMPARE(Column(*window, 1), (QStringList{"/v/probe.1", "/v/long.3", "/v/probe.4"}));
        QCOMPARE(Column(*window, 0), (QStringList{"          1", "          2", "          3"}));
        QCOMPARE(Selected(*window), 1);
        QVERIFY(List(*window)->hasFocus());
        QCOMPARE(window->Sources().Duration(1), 360000.0);
        QCOMPARE(window->Sources().TotalDuration(), 360024.0);
    }

    void removeTheLastOrNothing()
    {
        auto window = Window();
        Fill(*window, {"probe.1", "probe.2"});
        window->OnCommand(ID_LIST_REMOVE);  // nothing selected
        QCOMPARE(window->Sources().RowCount(), 2);
        QVERIFY(m_host.messages.isEmpty());
        Select(*window, 1);
        window->OnCommand(IDC_REMOVE_SMALL);
        QCOMPARE(window->Sources().RowCount(), 1);
        QCOMPARE(Selected(*window), -1);
    }

    void deleteKeyRemovesTheSelectedRow()
    {
        auto window = Window();
        Fill(*window, {"probe.1", "probe.2"});
        Select(*window, 0);
        List(*window)->setFocus();
        QTest::keyClick(List(*window), Qt::Key_Delete);
        QCOMPARE(Column(*window, 1), QStringList{"/v/probe.2"});
    }

    void moves_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("command");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<int>("selectedAfter");
        QTest::addColumn<bool>("warned");
        QTest::newRow("third up") << 3 << 2 << int(IDC_MOVE_UP) << QStringList{"/v/probe.1", "/v/hour.3", "/v/long.2"} << 1 << false;
        QTest::newRow("first down") << 3 << 0 << int(ID_LIST_DOWN) << QStringList{"/v/long.2", "/v/probe.1", "/v/hour.3"} << 1 << false;
        QTest::newRow("first up: focus only") << 3 << 0 << int(ID_LIST_UP) << QStringList{"/v/probe.1", "/v/long.2", "/v/hour.3"} << 0 << false;
        QTest::newRow("last down: focus only") << 3 << 2 << int(IDC_MOVE_DOWN) << QStringList{"/v/probe.1", "/v/long.2", "/v/hour.3"} << 2 << false;
        QTest::newRow("none selected") << 3 << -1 << int(IDC_MOVE_UP) << QStringList{"/v/probe.1", "/v/long.2", "/v/hour.3"} << -1 << true;
        QTest::newRow("one row, none selected") << 1 << -1 << int(IDC_MOVE_DOWN) << QStringList{"/v/probe.1"} << -1 << false;
    }
    void moves()
    {
        QFETCH(int, rows);
        QFETCH(int, selected);
        QFETCH(int, command);
        QFETCH(QStringList, order);
        QFETCH(int, selectedAfter);
        QFETCH(bool, warned);
        auto window = Window();
        Fill(*window, QStringList{"probe.1", "long.2", "hour.3"}.mid(0, rows));
        if (selected >= 0)
            Select(*window, selected);
        window->OnCommand(command);
        QCOMPARE(Column(*window, 1), order);
        QCOMPARE(Selected(*window), selectedAfter);
        QCOMPARE(Column(*window, 0).size(), rows);
        QCOMPARE(Column(*window, 0).last(), QStringLiteral("          %1").arg(rows));
        if (warned) {
            QCOMPARE(m_host.messages.size(), 1);
            QCOMPARE(m_host.messages.first().text, QStringLiteral("No item was selected!"));
            QCOMPARE(m_host.messages.first().caption, QStringLiteral("Warning"));
        } else {
            QVERIFY(m_host.messages.isEmpty());
        }
        // The per-row data moved with the rows.
        for (int i = 0; i < rows; ++i) {
            const QString path = window->Sources().Path(i);
            const double expected = path.contains(QLatin1String("long")) ? 360000.0
                : path.contains(QLatin1String("hour"))                   ? 3725.0
                                                                         : 12.0;
            QCOMPARE(window->Sources().Duration(i), expected);
        }
    }

    void folderThatCannotBeMade()
    {
        auto window = Window();
        Folder(*window)->setText(QStringLiteral("/proc/nope/videos"));
        AddThroughDialog(*window, {"/v/probe.1"});
        QCOMPARE(m_host.messages.size(), 1);
        QCOMPARE(m_host.messages.first().text, QStringLiteral("Fail to create tmp folder /proc/nope/videos"));
        QCOMPARE(window->Sources().RowCount(), 0);
    }

    void hundredthFileIsLeftOut()
    {
        auto window = Window();
        QStringList names;
        for (int i = 0; i < 100; ++i)
            names << QStringLiteral("bare.%1").arg(i);
        QStringList paths;
        for (const QString &name : names)
            paths << QStringLiteral("/v/") + name;
        AddThroughDialog(*window, paths);
        QTRY_COMPARE_WITH_TIMEOUT(m_host.messages.size(), 1, 30000);
        QCOMPARE(window->Sources().RowCount(), 99);
        QVERIFY(m_host.messages.first().text.contains(QStringLiteral("1 more file was not added")));
    }

    void droppedFilesAreAdded()
    {
        auto window = Window();
        QTemporaryDir folder;
        const QString dropped = folder.filePath(QStringLiteral("probe.x"));
        QFile(dropped).open(QIODevice::WriteOnly);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(dropped), QUrl(QStringLiteral("https://example.org/a.avi"))});
        QWidget *viewport = List(*window)->viewport();
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &drop);
        QTRY_COMPARE(window->Sources().RowCount(), 1);
        QCOMPARE(window->Sources().Path(0), dropped);
    }

    void settingsDefaultsWithoutOptionFile()
    {
        {
            auto window = Window();
            QCOMPARE(qobject_cast<QComboBox *>(window->Control(IDC_QUALITY))->currentText(),
                     QStringLiteral("6.Good    Video:1000kbps   Audio:96kbps"));
            QCOMPARE(qobject_cast<QComboBox *>(window->Control(IDC_RESOLUTION))->currentText(), QStringLiteral("320 x 240"));
            QVERIFY(qobject_cast<QCheckBox *>(window->Control(IDC_LETTERBOX))->isChecked());
            QCOMPARE(qobject_cast<QSlider *>(window->Control(IDC_VOLUME))->value(), 100);
            QCOMPARE(qobject_cast<QLabel *>(window->Control(IDC_VOLUME_LABEL))->text(), QStringLiteral("100%"));
            QVERIFY(qobject_cast<QAbstractButton *>(window->Control(IDC_CODEC_MPEG4))->isChecked());
            QCOMPARE(window->Settings().videoBitrate, 1000);
            QCOMPARE(window->Settings().audioBitrate, 96);
            QCOMPARE(window->Settings().width, 320);
            QCOMPARE(window->Settings().height, 240);
        }
        QVERIFY(ReadOptions().startsWith("[Source]\nVideo codec=0\nOutput quality=5\nResolution=5\nLetterbox=1\nVolume=100\n"));
    }

    void choicesChangeTheSettings()
    {
        auto window = Window();
        auto *quality = qobject_cast<QComboBox *>(window->Control(IDC_QUALITY));
        quality->setCurrentIndex(8);
        Q_EMIT quality->activated(8);
        QCOMPARE(window->Settings().videoBitrate, 2500);
        QCOMPARE(window->Settings().audioBitrate, 196);
        auto *resolution = qobject_cast<QComboBox *>(window->Control(IDC_RESOLUTION));
        resolution->setCurrentIndex(17);
        Q_EMIT resolution->activated(17);
        QCOMPARE(window->Settings().width, 784);
        auto *volume = qobject_cast<QSlider *>(window->Control(IDC_VOLUME));
        auto *label = qobject_cast<QLabel *>(window->Control(IDC_VOLUME_LABEL));
        volume->setValue(200);
        QCOMPARE(label->text(), QStringLiteral("200%"));
        volume->setValue(0);
        QCOMPARE(label->text(), QStringLiteral("0%"));
        QCOMPARE(window->Settings().volume, 0);
        auto *letterbox = qobject_cast<QCheckBox *>(window->Control(IDC_LETTERBOX));
        letterbox->click();
        QCOMPARE(window->Settings().letterbox, 0);
        letterbox->click();
        QCOMPARE(window->Settings().letterbox, 1);
    }

    void resolutionOutOfRangeIsKept()
    {
        QFile file(OptionFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Source]\nResolution=40\nOutput quality=zz\nLetterbox=7\n");
        file.close();
        {
            auto window = Window();
            QCOMPARE(qobject_cast<QComboBox *>(window->Control(IDC_RESOLUTION))->currentIndex(), -1);
            QCOMPARE(window->Settings().width, 320);
            QCOMPARE(window->Settings().height, 240);
            QCOMPARE(qobject_cast<QComboBox *>(window->Control(IDC_QUALITY))->currentIndex(), 0);
            QVERIFY(qobject_cast<QCheckBox *>(window->Control(IDC_LETTERBOX))->isChecked());
        }
        const QByteArray saved = ReadOptions();
        QVERIFY(saved.contains("Resolution=40\n"));
        QVERIFY(saved.contains("Letterbox=7\n"));
    }

    void typedFolderIsSavedOnlyAfterUse_data()
    {
        QTest::addColumn<int>("use");  // 0 none, 1 add, 2 browse, 3 convert
        QTest::addColumn<bool>("saved");
        QTest::newRow("typed only") << 0 << false;
        QTest::newRow("then add") << 1 << true;
        QTest::newRow("then browse") << 2 << true;
        QTest::newRow("then convert") << 3 << true;
    }
    void typedFolderIsSavedOnlyAfterUse()
    {
        QFETCH(int, use);
        const QString typed = m_output.path() + QStringLiteral("/typed/");
        {
            auto window = Window();
            if (use == 3)
                Fill(*window, {"probe.1"});  // before typing: adding reads the field too
            Folder(*window)->setText(typed);
            if (use == 1)
                Fill(*window, {"probe.1"});
            if (use == 2) {
                m_host.folderChoices.enqueue(m_output.path() + QStringLiteral("/typed"));
                window->OnCommand(IDC_BROWSE);
                QCOMPARE(Folder(*window)->text(), typed);
                QCOMPARE(m_host.folderDialogTitles.last(), QStringLiteral("Select a temporary folder"));
            }
            if (use == 3) {
                window->OnCommand(IDC_CONVERT);
                QTRY_VERIFY(!window->IsConverting());
            }
        }
        const bool saved = ReadOptions().contains("Temporary folder=" + QFile::encodeName(typed));
        QTEST(saved, "saved");
    }
};

QTEST_MAIN(SourceListTest)
#include "tst_sourcelist.moc"

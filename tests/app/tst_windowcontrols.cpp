#include "app/CKelvaroDlg.h"
#include "res/Menus.h"
#include "res/Templates.h"
#include "sources/SourceTable.h"

#include "FakeHost.h"

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

// The main window's list and settings controls: what they ask, what they
// hand on, what the settings and the option file then hold. The test
// encoder acts out the scenario named by each file's name ("probe": 12 s at
// 640x480).
class WindowControlsTest : public QObject
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

    void deleteKeyRemovesTheSelectedRow()
    {
        auto window = Window();
        Fill(*window, {"probe.1", "probe.2"});
        Select(*window, 0);
        List(*window)->setFocus();
        QTest::keyClick(List(*window), Qt::Key_Delete);
        QCOMPARE(Column(*window, 1), QStringList{"/v/probe.2"});
    }

    void droppedFilesAreAdded()
    {
        auto window = Window();
        QTemporaryDir folder;
        const QString dropped = folder.filePath(QStringLiteral("probe.x"));
        QFile(dropped).open(QIODevice::WriteOnly);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(dropped), QUrl::fromLocalFile(folder.path()),
                      QUrl(QStringLiteral("https://example.org/a.avi"))});
        QWidget *viewport = List(*window)->viewport();
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &drop);
        // Nothing is said while the file manager waits for the drop.
        QVERIFY(m_host.messages.isEmpty());
        QTRY_COMPARE(window->Sources().RowCount(), 1);
        QCOMPARE(window->Sources().Path(0), dropped);
        QTRY_COMPARE(m_host.messages.size(), 1);
        QVERIFY(m_host.messages.first().details.endsWith(QStringLiteral(": it is a folder, not a file")));
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

QTEST_MAIN(WindowControlsTest)
#include "tst_windowcontrols.moc"

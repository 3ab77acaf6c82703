#include "app/CKelvaroDlg.h"
#include "controls/CIconButton.h"
#include "controls/CNiceSliderCtrl.h"
#include "platform/DialogBuilder.h"
#include "res/Menus.h"
#include "sources/SourceTable.h"

#include "FakeHost.h"

#include <QApplication>
#include <QDir>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <memory>

namespace {

QMenu *OpenMenu()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *menu = qobject_cast<QMenu *>(widget); menu && menu->isVisible())
            return menu;
    }
    return nullptr;
}

QList<QPair<QString, int>> Items(const QMenu *menu)
{
    QList<QPair<QString, int>> items;
    for (const QAction *action : menu->actions())
        items.append({action->isSeparator() ? QStringLiteral("-") : action->text(), CommandOf(action)});
    return items;
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CKelvaroDlg> MakeWindow()
    {
        auto window = std::make_unique<CKelvaroDlg>();
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            return nullptr;
        return window;
    }

    FakeHost m_host;
    QTemporaryDir m_programDir;

private Q_SLOTS:
    void initTestCase()
    {
        m_host.programFolder = m_programDir.path() + QLatin1Char('/');
    }
    void init()
    {
        QFile::remove(m_host.programFolder + QStringLiteral("option.ini"));
        m_host.messages.clear();
    }

    void controls_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("units");
        QTest::addColumn<bool>("visible");

        const auto row = [](int id, const char *kind, const char *text, QRect units, bool visible = true) {
            QTest::addRow("%d", id) << id << QString::fromLatin1(kind) << QString::fromUtf8(text) << units << visible;
        };
        row(1002, "CIconButton", "Add", {15, 3, 51, 44});
        row(1001, "CIconButton", "Remove", {78, 3, 51, 44});
        row(1000, "CIconButton", "Convert", {141, 3, 51, 44});
        row(1003, "CIconButton", "Help", {217, 3, 51, 44});
        row(1006, "QTreeView", "", {15, 55, 384, 128});
        row(1025, "CIconButton", "", {405, 68, 18, 17});
        row(1026, "CIconButton", "", {405, 95, 18, 17});
        row(1027, "CIconButton", "", {405, 122, 18, 17});
        row(1028, "CIconButton", "", {405, 149, 18, 17});
        row(1009, "", "", {15, 190, 120, 73});
        row(1030, "QFrame", "", {15, 190, 120, 73});
        row(1065, "QComboBox", "", {212, 193, 187, 0});
        row(1059, "QComboBox", "", {212, 218, 65, 0});
        row(1060, "QCheckBox", "Add letterbox to keep aspect", {295, 220, 128, 10});
        row(1018, "QLineEdit", "", {212, 244, 160, 12});
        row(1019, "CIconButton", "..", {379, 243, 20, 13});
        row(1010, "CIconButton", "", {14, 268, 11, 10});
        row(1011, "CIconButton", "", {29, 268, 11, 10});
        row(1012, "CNiceSliderCtrl", "", {43, 270, 95, 8});
        row(1063, "QLabel", "100%", {184, 268, 17, 8});
        row(1064, "QSlider", "", {209, 268, 95, 11});
        row(1058, "QRadioButton", "H264", {325, 271, 36, 10}, false);
        row(1057, "QRadioButton", "XviD", {341, 271, 32, 10}, false);
        row(1056, "QRadioButton", "MPEG4", {353, 270, 68, 10}, false);
    }
    void controls()
    {
        QFETCH(int, id);
        QFETCH(QString, kind);
        QFETCH(QString, text);
        QFETCH(QRect, units);
        QFETCH(bool, visible);
        auto window = MakeWindow();
        QVERIFY(window);
        QWidget *control = window->Control(id);
        QVERIFY(control);
        if (!kind.isEmpty())
            QCOMPARE(QString::fromLatin1(control->metaObject()->className()), kind);
        if (auto *button = qobject_cast<QAbstractButton *>(control))
            QCOMPARE(button->text(), text);
        if (auto *label = qobject_cast<QLabel *>(control))
            QCOMPARE(label->text(), text);
        QCOMPARE(control->isVisible(), visible);
        const QRect expected = window->Layout().ToPixels(units.x(), units.y(), units.width(), units.height());
        QCOMPARE(control->pos(), expected.topLeft());
        QCOMPARE(control->width(), expected.width());
        if (units.height() > 0)
            QCOMPARE(control->height(), expected.height());
    }

    void windowLooksAsDesigned()
    {
        auto window = MakeWindow();
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QStringLiteral("Kelvaro"));
        QCOMPARE(window->size(), window->Layout().ToPixels(0, 0, 429, 285).size());
        QVERIFY(!window->windowIcon().isNull());
        // The preview lies over its black backdrop.
        QWidget *preview = window->Control(1009);
        QVERIFY(window->childAt(preview->geometry().center()) == preview
                || preview->isAncestorOf(window->childAt(preview->geometry().center())));
    }

    void tabOrder()
    {
        auto window = MakeWindow();
        QVERIFY(window);
        // The preview area (1009) is no stop: it does nothing with keys.
        const QList<int> expected{1002, 1001, 1000, 1003, 1006, 1025, 1026, 1027, 1028,
                                  1065, 1059, 1060, 1018, 1019, 1010, 1011, 1012, 1064};
        QList<int> order;
        QWidget *start = window->Control(1002);
        QWidget *widget = start;
        do {
            // Any stop counts, also one inside a control (its id then is
            // not a control's).
            if (widget->isVisible() && widget->focusPolicy() & Qt::TabFocus && widget->isEnabled())
                order << DialogBuilder::ControlId(widget);
            widget = widget->nextInFocusChain();
        } while (widget != start && order.size() < 40);
        QCOMPARE(order, expected);
    }

    void listColumns()
    {
        auto window = MakeWindow();
        QVERIFY(window);
        auto *list = qobject_cast<QTreeView *>(window->Control(1006));
        QAbstractItemModel *model = list->model();
        QCOMPARE(model->columnCount(), 3);
        const QStringList headers{" Number", "  File path", "   Duration"};
        const QList<int> widths{90, 360, 122};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(model->headerData(i, Qt::Horizontal).toString(), headers[i]);
            QCOMPARE(list->header()->sectionSize(i), widths[i]);
        }
        QCOMPARE(model->headerData(2, Qt::Horizontal, Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
                 int(Qt::AlignHCenter));
        QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
    }

    void buttonPicturesAndTips_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QSize>("image");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<int>("layout");
        QTest::addColumn<bool>("hoverFrame");
        QTest::newRow("convert") << 1000 << QSize(48, 48) << "Start converting" << 1 << true;
        QTest::newRow("remove") << 1001 << QSize(48, 48) << "Remove the selected video file" << 1 << true;
        QTest::newRow("add") << 1002 << QSize(48, 48) << "Add video files to the list" << 1 << true;
        QTest::newRow("help") << 1003 << QSize(48, 48) << "About,help,home page,tip of the day." << 1 << true;
        QTest::newRow("add small") << 1025 << QSize(16, 16) << "Add video files to the list" << 1 << true;
        QTest::newRow("remove small") << 1026 << QSize(16, 16) << "Remove the selected video file" << 1 << true;
        QTest::newRow("up") << 1027 << QSize(16, 16) << "Move the selected video file up" << 1 << true;
        QTest::newRow("down") << 1028 << QSize(16, 16) << "Move the selected video file down" << 1 << true;
        QTest::newRow("play") << 1010 << QSize(11, 14) << "Play the selected video file" << 0 << false;
        QTest::newRow("stop") << 1011 << QSize(12, 11) << "Stop playing" << 0 << false;
    }
    void buttonPicturesAndTips()
    {
        QFETCH(int, id);
        auto window = MakeWindow();
        QVERIFY(window);
        auto *button = qobject_cast<CIconButton *>(window->Control(id));
        QVERIFY(button);
        QVERIFY(button->HasImage());
        QTEST(button->ImageSize(), "image");
        QTEST(button->ToolTipText(), "tip");
        QTEST(button->ImageLayout(), "layout");
        QTEST(button->HoverFrame(), "hoverFrame");
    }

    void menus_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QList<QPair<QString, int>>>("items");
        QTest::newRow("help") << 136 << "help"
                              << QList<QPair<QString, int>>{{"Content", 32771}, {"-", 0}, {"About", 32772},
                                                            {"Home page", 32773}, {"Tip of the Day...", 32774}};
        QTest::newRow("list") << 144 << "Edit"
                              << QList<QPair<QString, int>>{{"Add video files to list", 32775},
                                                            {"Remove video file from list", 32776},
                                                            {"Move up", 32777}, {"Move down", 32778},
                                                            {"-", 0}, {"Play/Pause", 32779},
                                                            {"Stop playing", 32780}};
    }
    void menus()
    {
        QFETCH(int, id);
        QWidget owner;
        std::unique_ptr<QMenu> menu(LoadPopupMenu(id, &owner));
        QVERIFY(menu);
        QTEST(menu->title(), "title");
        QTEST(Items(menu.get()), "items");
    }

    void rightClickOnEmptyListShowsTheListMenu()
    {
        auto window = MakeWindow();
        QVERIFY(window);
        auto *list = qobject_cast<QTreeView *>(window->Control(1006));
        QCOMPARE(list->model()->rowCount(), 0);
        Q_EMIT list->customContextMenuRequested(QPoint(40, 40));
        QTRY_VERIFY(OpenMenu());
        QMenu *menu = OpenMenu();
        QCOMPARE(menu->actions().size(), 7);
        QCOMPARE(CommandOf(menu->actions().first()), 32775);
        // "Remove video file from list" with nothing there does nothing.
        menu->actions().at(1)->trigger();
        menu->close();
        QCOMPARE(window->Sources().RowCount(), 0);
    }

    void helpButtonShowsTheHelpMenu()
    {
        auto window = MakeWindow();
        QVERIFY(window);
        QTest::mouseClick(window->Control(1003), Qt::LeftButton);
        QTRY_VERIFY(OpenMenu());
        QCOMPARE(OpenMenu()->actions().size(), 5);
        OpenMenu()->close();
    }

    void everyCommandIsRouted()
    {
        auto window = MakeWindow();
        QVERIFY(window);
        // The commands whose handlers show nothing modal are run; each must
        // be known to the window.
        for (int id : {1001, 1026, 32776, 1027, 32777, 1028, 32778, 1011, 32780, 1056, 1057, 1058, 1060})
            QVERIFY2(window->OnCommand(id), qPrintable(QString::number(id)));
        QVERIFY(!window->OnCommand(4242));
    }

    void closingKeysEndTheWindowAndSaveTheSettings_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("focus");
        QTest::newRow("escape") << int(Qt::Key_Escape) << 1006;
        QTest::newRow("enter in the list") << int(Qt::Key_Return) << 1006;
    }
    void closingKeysEndTheWindowAndSaveTheSettings()
    {
        QFETCH(int, key);
        QFETCH(int, focus);
        const QString optionFile = m_host.programFolder + QStringLiteral("option.ini");
        auto window = MakeWindow();
        QVERIFY(window);
        window->activateWindow();
        QWidget *target = window->Control(focus);
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key));
        QVERIFY(!window->isVisible());
        QVERIFY(!QFile::exists(optionFile));
        window.reset();
        QVERIFY(QFile::exists(optionFile));
    }

    // However the window closes, its settings are written, or the person
    // hears why not.
    void settingsThatCannotBeSavedAreReported()
    {
        const QString optionFile = m_host.programFolder + QStringLiteral("option.ini");
        QVERIFY(QDir().mkpath(optionFile));  // a folder in the file's place
        MakeWindow().reset();
        QVERIFY(QDir().rmdir(optionFile));
        QCOMPARE(m_host.messages.size(), 1);
        QVERIFY(m_host.messages.first().text.startsWith(QStringLiteral("Kelvaro could not save its settings")));
    }

    void enterOnAPushButtonPressesIt()
    {
        auto window = MakeWindow();
        QVERIFY(window);
        m_host.folderChoices.enqueue(QString());  // cancelled
        QWidget *browse = window->Control(1019);
        browse->setFocus();
        QTest::keyClick(browse, Qt::Key_Return);
        QVERIFY(window->isVisible());
        QCOMPARE(m_host.folderDialogTitles.size(), 1);
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"

#include "help/CTipOfTheDayDialog.h"
#include "help/TipsFile.h"
#include "platform/Profile.h"

#include "FakeHost.h"

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

const QByteArray kTips = "; comment\n"
                         "First tip\n"
                         " indented\n"
                         "\ttabbed\n"
                         "\n"
                         "\r\n"
                         ";Second comment\n"
                         "Second tip\n"
                         "Third tip\n";

} // namespace

class TipOfTheDayTest : public QObject
{
    Q_OBJECT

private:
    void WriteTips(const QByteArray &text)
    {
        QFile::remove(TipsPath());
        QFile file(TipsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QString TipsPath() const { return m_host.programFolder + QStringLiteral("tips.txt"); }
    QString Profile(const char *key) const
    {
        return GetProfileString(ApplicationProfilePath(), QStringLiteral("Tip"), QString::fromLatin1(key),
                                QStringLiteral("<absent>"));
    }
    void SetProfile(const char *key, const QString &value)
    {
        WriteProfileString(ApplicationProfilePath(), QStringLiteral("Tip"), QString::fromLatin1(key), value);
    }
    // One start-up's worth: the dialog is built, read and destroyed.
    QString ShownTip()
    {
        CTipOfTheDayDialog tip;
        return tip.TipText();
    }

    FakeHost m_host;
    QTemporaryDir m_programDir;
    QTemporaryDir m_configDir;

private Q_SLOTS:
    void initTestCase()
    {
        m_host.programFolder = m_programDir.path() + QLatin1Char('/');
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configDir.path()));
    }
    void init()
    {
        QFile::remove(ApplicationProfilePath());
        WriteTips(kTips);
        m_host.messages.clear();
    }

    void firstRunShowsFirstTipAndStampsTheFile()
    {
        CTipOfTheDayDialog tip;
        QVERIFY(tip.ShowAtStartup());
        QCOMPARE(tip.TipText(), QStringLiteral("First tip\n"));
        QVERIFY(Profile("TimeStamp") != QStringLiteral("<absent>"));
    }

    void eachStartUpAdvancesOneTipAndWraps()
    {
        SetProfile("StartUp", QStringLiteral("1"));
        QCOMPARE(ShownTip(), QStringLiteral("First tip\n"));
        QCOMPARE(ShownTip(), QStringLiteral("Second tip\n"));
        QCOMPARE(ShownTip(), QStringLiteral("Third tip\n"));
        QCOMPARE(ShownTip(), QStringLiteral("First tip\n"));
        QCOMPARE(Profile("StartUp"), QStringLiteral("1"));
    }

    void nextTipSkipsNonTipsAndWraps()
    {
        CTipOfTheDayDialog tip;
        QStringList seen{tip.TipText()};
        for (int i = 0; i < 4; ++i) {
            tip.OnNextTip();
            seen << tip.TipText();
        }
        QCOMPARE(seen, (QStringList{"First tip\n", "Second tip\n", "Third tip\n", "First tip\n",
                                    "Second tip\n"}));
    }

    void storedOffsetPastTheEndRestartsAtTheTop()
    {
        ShownTip();  // stamps the file
        SetProfile("FilePos", QStringLiteral("100000"));
        QCOMPARE(ShownTip(), QStringLiteral("First tip\n"));
    }

    void replacedFileRestartsAtTheTop()
    {
        ShownTip();
        ShownTip();  // now at the third tip
        SetProfile("TimeStamp", QStringLiteral("an older file"));
        QCOMPARE(ShownTip(), QStringLiteral("First tip\n"));
    }

    void closeWritesTheStartUpChoiceEscapeDoesNot_data()
    {
        QTest::addColumn<bool>("close");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QString>("stored");
        QTest::newRow("close, unchecked") << true << false << "1";
        QTest::newRow("close, checked") << true << true << "0";
        QTest::newRow("escape, unchecked") << false << false << "<absent>";
    }
    void closeWritesTheStartUpChoiceEscapeDoesNot()
    {
        QFETCH(bool, close);
        QFETCH(bool, checked);
        {
            CTipOfTheDayDialog tip;
            tip.findChild<QCheckBox *>()->setChecked(checked);
            tip.show();
            if (close)
                QTest::keyClick(&tip, Qt::Key_Return);
            else
                QTest::keyClick(&tip, Qt::Key_Escape);
            QVERIFY(!tip.isVisible());
        }
        QTEST(Profile("StartUp"), "stored");
    }

    void missingTipsFile()
    {
        QFile::remove(TipsPath());
        CTipOfTheDayDialog tip;
        QCOMPARE(tip.TipText(), QStringLiteral("Tips file does not exist in the prescribed directory"));
        auto *next = tip.findChild<QPushButton *>(QStringLiteral("control1044"));
        QVERIFY(next && !next->isEnabled());
        QCOMPARE(Profile("FilePos"), QStringLiteral("<absent>"));
        QCOMPARE(Profile("TimeStamp"), QStringLiteral("<absent>"));
    }

    void fileWithoutTipsEndsWithAnEmptyTip_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("only skipped lines") << QByteArray(";a\n b\n\tc\n\n");
        QTest::newRow("binary junk") << QByteArray(" \x00\x01\x02\n;\xff\n", 8);
    }
    void fileWithoutTipsEndsWithAnEmptyTip()
    {
        QFETCH(QByteArray, text);
        WriteTips(text);
        CTipOfTheDayDialog tip;
        QCOMPARE(tip.TipText(), QString());
        tip.OnNextTip();
        QCOMPARE(tip.TipText(), QString());
        QVERIFY(m_host.messages.isEmpty());
    }

    void tipsFileReplacedWhileShown()
    {
        CTipOfTheDayDialog tip;
        tip.show();
        QCOMPARE(tip.TipText(), QStringLiteral("First tip\n"));
        // Replaced under the open dialog, as an update would.
        const QString fresh = TipsPath() + QStringLiteral(".new");
        {
            QFile file(fresh);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("New first\nNew second\n");
        }
        QVERIFY(::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(TipsPath()).constData()) == 0);
        tip.OnNextTip();
        QCOMPARE(tip.TipText(), QStringLiteral("Second tip\n"));  // the open file reads on
        tip.close();
    }

    void longLineContinuesAsTheNextLine()
    {
        const QByteArray longTip = QByteArray(1200, 'x');
        WriteTips(longTip + "\nShort\n");
        TipsFile file(TipsPath());
        QCOMPARE(file.ReadNextTip().size(), 999);
        QCOMPARE(file.ReadNextTip(), QString(201, QLatin1Char('x')) + QLatin1Char('\n'));
        QCOMPARE(file.ReadNextTip(), QStringLiteral("Short\n"));
    }

    void shippedTipsFileHasEnoughTips()
    {
        TipsFile file(QStringLiteral(KELVARO_PROGRAM_DIR "tips.txt"));
        QVERIFY(file.IsOpen());
        QStringList tips;
        for (QString tip = file.ReadNextTip(); !tips.contains(tip); tip = file.ReadNextTip())
            tips << tip;
        QVERIFY2(tips.size() >= 15, qPrintable(QString::number(tips.size())));
    }
};

QTEST_MAIN(TipOfTheDayTest)
#include "tst_tipoftheday.moc"

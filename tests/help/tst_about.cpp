#include "controls/CLinkLabel.h"
#include "engine/ConversionSettings.h"
#include "help/CAboutBox.h"
#include "help/ProductInfo.h"
#include "engine/Settings.h"

#include "FakeHost.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestAboutBox : public QObject
{
    Q_OBJECT

private:
    FakeHost m_host;
    QTemporaryDir m_programDir;

private slots:
    void initTestCase() { m_host.programFolder = m_programDir.path() + "/"; }

    void titleFromTheVersionFile_data()
    {
        QTest::addColumn<QByteArray>("versionFile");  // empty: no file
        QTest::addColumn<QString>("title");
        const QByteArray longVersion(100, '9');
        QTest::newRow("no file") << QByteArray() << "Kelvaro 1.00";
        QTest::newRow("file without the key") << QByteArray("[General]\nOther=2\n") << "Kelvaro 1.00";
        QTest::newRow("version") << QByteArray("[General]\nVersion=2.31 beta\n") << "Kelvaro 2.31 beta";
        QTest::newRow("100 characters") << "[General]\nVersion=" + longVersion + "\n"
                                        << "Kelvaro " + QString(15, '9');
    }
    void titleFromTheVersionFile()
    {
        QFETCH(QByteArray, versionFile);
        QFETCH(QString, title);
        const QString path = Settings::Files::Find(m_host.programFolder).version;
        QFile::remove(path);
        if (!versionFile.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(versionFile);
        }
        ConversionSettings settings;
        CAboutBox about(Settings::Load(settings, Settings::Files::Find(m_host.programFolder)), {});
        QCOMPARE(about.Title(), title);
    }

    void longVersionIsCutToTheTitle()
    {
        const QString version = QString(100, 'v');
        CAboutBox about(version, {});
        QCOMPARE(about.Title(), "Kelvaro " + QString(63 - 8, 'v'));
    }

    void linksAreSetUpAndSkinned()
    {
        QList<QWidget *> skinned;
        CAboutBox about("1.00", [&](QWidget *window) { skinned << window; });
        CLinkLabel *home = about.HomeLink();
        CLinkLabel *support = about.SupportLink();
        QCOMPARE(skinned, (QList<QWidget *>{home, support}));
        for (CLinkLabel *link : {home, support}) {
            QVERIFY(link->font().underline());
            QCOMPARE(link->toolTip(), link->LinkTarget());
        }
        QCOMPARE(home->LinkTarget(), HomePageAddress());
        QCOMPARE(support->LinkTarget(), SupportAddress());
        QCOMPARE(home->text(), QString("Home page"));
        QCOMPARE(support->text(), QString("Technical support"));

        support->OnClicked();
        QCOMPARE(m_host.openedUrls, QStringList{SupportAddress()});
    }
};

QTEST_MAIN(TestAboutBox)
#include "tst_about.moc"

#include "app/CKelvaroDlg.h"
#include "app/CProgressDlg.h"
#include "res/Templates.h"
#include "sources/SourceTable.h"

#include "FakeHost.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

// The Convert command and the progress window, wired to the batch. The
// channel test's peer stands in for the encoder ("clip" converts in a
// moment, "slow" takes a few seconds).
class ConvertTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CKelvaroDlg> WindowWith(const QStringList &sources)
    {
        auto window = std::make_unique<CKelvaroDlg>();
        window->show();
        qobject_cast<QLineEdit *>(window->Control(IDC_FOLDER))->setText(m_output.path() + QStringLiteral("/out/"));
        m_host.fileChoices.enqueue(sources);
        window->OnCommand(IDC_ADD);
        if (!QTest::qWaitFor([&] { return window->Sources().RowCount() == sources.size(); }, 20000))
            return nullptr;
        return window;
    }

    FakeHost m_host;
    QTemporaryDir m_output;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_host.UseEncoder(QStringLiteral(KELVARO_TEST_HELPER_DIR "../platform/channel_peer")));
    }
    void init()
    {
        m_host.messages.clear();
        m_host.answers.clear();
    }

    void progressWindowShowsTheBatch()
    {
        auto window = WindowWith({"/v/slow.avi"});
        QVERIFY(window);
        CProgressDlg *progress = window->ProgressDialog();
        window->OnCommand(IDC_CONVERT);
        QVERIFY(window->IsConverting());
        QVERIFY(progress->isVisible());
        QVERIFY(!window->isEnabled());
        QTRY_VERIFY(progress->Pos() > 0);
        QVERIFY2(progress->Text().startsWith(QStringLiteral("Total time:")), qPrintable(progress->Text()));
        QTRY_VERIFY_WITH_TIMEOUT(!window->IsConverting(), 20000);
        QVERIFY(window->isEnabled());
        QVERIFY(!progress->isVisible());
        QCOMPARE(m_host.messages.size(), 1);
        QVERIFY(m_host.messages.first().text.startsWith(QStringLiteral("Mission accomplished!")));
    }

    // Centred over the main window once; afterwards where the person put it.
    void progressWindowStaysWhereItWasPut()
    {
        auto window = WindowWith({"/v/clip.avi"});
        QVERIFY(window);
        CProgressDlg *progress = window->ProgressDialog();
        window->OnCommand(IDC_CONVERT);
        QCOMPARE(progress->frameGeometry().center(), window->frameGeometry().center());
        QTRY_VERIFY_WITH_TIMEOUT(!window->IsConverting(), 20000);
        const QPoint put = progress->pos() + QPoint(40, 30);
        progress->move(put);
        window->OnCommand(IDC_CONVERT);
        QCOMPARE(progress->pos(), put);
        QTRY_VERIFY_WITH_TIMEOUT(!window->IsConverting(), 20000);
    }

    // Cancel in the progress window, and the main window's close box while
    // it is disabled, both ask the batch to stop; the batch asks once.
    void bothWaysOfAskingReachTheBatch_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Cancel") << false;
        QTest::newRow("the main window's close box") << true;
    }
    void bothWaysOfAskingReachTheBatch()
    {
        QFETCH(bool, closeBox);
        auto window = WindowWith({"/v/slow.avi"});
        QVERIFY(window);
        m_host.answers.enqueue(Host::Answer::Yes);
        window->OnCommand(IDC_CONVERT);
        if (closeBox)
            QVERIFY(!window->close());
        else
            window->ProgressDialog()->OnCancelProcessing();
        QCOMPARE(window->ProgressDialog()->Text(), QStringLiteral("Cancel processing..."));
        QTRY_VERIFY(!window->IsConverting());
        QCOMPARE(m_host.messages.size(), 1);
        QCOMPARE(m_host.messages.first().text, QStringLiteral("Do you really want to stop?"));
        QVERIFY(window->isVisible());
        QVERIFY(window->isEnabled());
    }

    void progressWindowOnlyAsksToStop()
    {
        auto window = std::make_unique<CKelvaroDlg>();
        CProgressDlg *progress = window->ProgressDialog();
        progress->show();
        QTest::keyClick(progress, Qt::Key_Return);
        QVERIFY(progress->isVisible());
        QCOMPARE(progress->Text(), QStringLiteral("Static"));
        QTest::keyClick(progress, Qt::Key_Escape);
        QVERIFY(progress->isVisible());
        QCOMPARE(progress->Text(), QStringLiteral("Cancel processing..."));
        progress->SetText(QString());
        progress->close();
        QVERIFY(progress->isVisible());
        QCOMPARE(progress->Text(), QStringLiteral("Cancel processing..."));
    }
};

QTEST_MAIN(ConvertTest)
#include "tst_convert.moc"

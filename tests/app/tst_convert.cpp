#include "app/CKelvaroDlg.h"
#include "app/CProgressDlg.h"
#include "res/Templates.h"
#include "sources/SourceTable.h"

#include "FakeHost.h"
#include "KillEncoders.h"
#include "tests/support/TestMedia.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

class ConvertTest : public QObject
{
    Q_OBJECT

private:
    QString Source(const QString &name) const { return m_sources.path() + QLatin1Char('/') + name; }
    QString Output(const QString &name) const { return m_output + name; }

    // A window with the given files added (and probed by the real encoder).
    std::unique_ptr<CKelvaroDlg> WindowWith(const QStringList &names)
    {
        auto window = std::make_unique<CKelvaroDlg>();
        window->show();
        qobject_cast<QLineEdit *>(window->Control(IDC_FOLDER))->setText(m_output);
        QStringList paths;
        for (const QString &name : names)
            paths << Source(name);
        window->AddFiles(paths);
        if (!QTest::qWaitFor([&] { return window->Sources().RowCount() == names.size(); }, 20000))
            return nullptr;
        return window;
    }

    // Presses Convert and waits until the batch is over.
    bool Convert(CKelvaroDlg &window, int timeoutMs = 60000)
    {
        window.OnCommand(IDC_CONVERT);
        return QTest::qWaitFor([&] { return !window.IsConverting(); }, timeoutMs);
    }

    QStringList Messages() const
    {
        QStringList texts;
        // A report's list of files lies in its details, under the text.
        for (const FakeHost::Message &message : m_host.messages)
            texts << (message.details.isEmpty() ? message.text : message.text + QLatin1Char('\n') + message.details);
        return texts;
    }

    QStringList PartialFiles() const
    {
        return QDir(m_output).entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden);
    }

    FakeHost m_host;
    QTemporaryDir m_sources;
    QTemporaryDir m_config;
    QTemporaryDir m_outputDir;
    QString m_output;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_host.UseEncoder(QStringLiteral(KELVARO_PROGRAM_DIR "morlenc")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        m_output = m_outputDir.path() + QStringLiteral("/out/");
        for (const char *name : {"one.avi", "two.mov", "three.flv"}) {
            TestMedia::VideoRecipe recipe;
            recipe.path = Source(QString::fromLatin1(name));
            recipe.seconds = 2.0;
            QCOMPARE(TestMedia::MakeVideo(recipe), QString());
        }
        TestMedia::VideoRecipe wide;
        wide.path = Source(QStringLiteral("wide.mp4"));
        wide.width = 640;
        wide.height = 360;
        wide.seconds = 3.0;
        QCOMPARE(TestMedia::MakeVideo(wide), QString());
        TestMedia::VideoRecipe slow;  // long enough to be stopped half-way
        slow.path = Source(QStringLiteral("long.avi"));
        slow.width = 640;
        slow.height = 480;
        slow.seconds = 40.0;
        QCOMPARE(TestMedia::MakeVideo(slow), QString());
    }
    void init()
    {
        m_host.messages.clear();
        m_host.answers.clear();
        QDir(m_output).removeRecursively();
    }

    void convertsTheWholeList()
    {
        auto window = WindowWith({"one.avi", "two.mov", "wide.mp4"});
        QVERIFY(window);
        CProgressDlg *progress = window->ProgressDialog();
        window->OnCommand(IDC_CONVERT);
        QVERIFY(progress->isVisible());
        QVERIFY(!window->isEnabled());
        QVERIFY(QTest::qWaitFor([&] { return !window->IsConverting(); }, 60000));
        QVERIFY(window->isEnabled());
        QVERIFY(!progress->isVisible());
        QVERIFY(progress->Pos() > 0);
        QVERIFY2(progress->Text().startsWith(QStringLiteral("Total time:")), qPrintable(progress->Text()));
        QCOMPARE(m_host.messages.size(), 1);
        QVERIFY2(Messages().first().startsWith(QStringLiteral("Mission accomplished! Total Time:00:00:")),
                 qPrintable(Messages().first()));
        QCOMPARE(m_host.messages.first().icon, Host::Icon::Information);

        for (const char *name : {"one.mp4", "two.mp4", "wide.mp4"}) {
            const QJsonObject probe = TestMedia::Probe(Output(QString::fromLatin1(name)));
            const QJsonObject video = TestMedia::StreamOf(probe, QStringLiteral("video"));
            QCOMPARE(video.value(QStringLiteral("codec_name")).toString(), QStringLiteral("mpeg4"));
            QCOMPARE(video.value(QStringLiteral("width")).toInt(), 320);
            QCOMPARE(video.value(QStringLiteral("height")).toInt(), 240);
            QCOMPARE(TestMedia::StreamOf(probe, QStringLiteral("audio")).value(QStringLiteral("sample_rate")).toString(),
                     QStringLiteral("44100"));
        }
        QVERIFY(PartialFiles().isEmpty());

        // A second batch reuses the window; existing names get the source's
        // extension.
        m_host.messages.clear();
        QVERIFY(Convert(*window));
        QCOMPARE(window->ProgressDialog(), progress);
        QVERIFY(QFile::exists(Output(QStringLiteral("one_avi.mp4"))));
        QVERIFY(QFile::exists(Output(QStringLiteral("two_mov.mp4"))));
        QVERIFY(QFile::exists(Output(QStringLiteral("wide_mp4.mp4"))));
    }

    void cancelAnsweredNoGoesOn()
    {
        auto window = WindowWith({"one.avi"});
        QVERIFY(window);
        m_host.answers.enqueue(Host::Answer::No);
        window->OnCommand(IDC_CONVERT);
        window->ProgressDialog()->OnCancelProcessing();
        window->ProgressDialog()->OnCancelProcessing();  // twice: still one question
        QVERIFY(QTest::qWaitFor([&] { return !window->IsConverting(); }, 60000));
        QCOMPARE(Messages().count(QStringLiteral("Do you really want to stop?")), 1);
        QVERIFY(Messages().last().startsWith(QStringLiteral("Mission accomplished!")));
        QVERIFY(QFile::exists(Output(QStringLiteral("one.mp4"))));
    }

    void cancelAnsweredYesStops()
    {
        auto window = WindowWith({"long.avi", "one.avi"});
        QVERIFY(window);
        m_host.answers.enqueue(Host::Answer::Yes);
        window->OnCommand(IDC_CONVERT);
        window->ProgressDialog()->OnCancelProcessing();
        QVERIFY(QTest::qWaitFor([&] { return !window->IsConverting(); }, 60000));
        QCOMPARE(Messages(), QStringList{QStringLiteral("Do you really want to stop?")});
        QVERIFY(window->isEnabled());
        QVERIFY(!window->ProgressDialog()->isVisible());
        // The encoder removes what it had written; nothing looks finished.
        QTRY_VERIFY(PartialFiles().isEmpty());
        QVERIFY(!QFile::exists(Output(QStringLiteral("long.mp4"))));
        QVERIFY(!QFile::exists(Output(QStringLiteral("one.mp4"))));
    }

    void failedFileDoesNotStopTheBatch()
    {
        const QString broken = Source(QStringLiteral("broken.avi"));
        QVERIFY(QFile::copy(Source(QStringLiteral("one.avi")), broken));
        auto window = WindowWith({"two.mov", "broken.avi", "three.flv"});
        QVERIFY(window);
        // Spoilt after it was added.
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(5000, 'x'));
        file.close();
        QVERIFY(Convert(*window));
        QVERIFY(QFile::exists(Output(QStringLiteral("two.mp4"))));
        QVERIFY(QFile::exists(Output(QStringLiteral("three.mp4"))));
        QVERIFY(!QFile::exists(Output(QStringLiteral("broken.mp4"))));
        const QString report = Messages().last();
        QVERIFY2(report.contains(QStringLiteral("1 of 3 files could not be converted")), qPrintable(report));
        QVERIFY2(report.contains(broken + QStringLiteral(": ")), qPrintable(report));
        QCOMPARE(m_host.messages.last().icon, Host::Icon::Warning);
        QVERIFY(PartialFiles().isEmpty());
        QFile::remove(broken);
    }

    void killedEncoderDoesNotStopTheBatch()
    {
        auto window = WindowWith({"long.avi", "one.avi"});
        QVERIFY(window);
        window->OnCommand(IDC_CONVERT);
        QVERIFY(QTest::qWaitFor([&] { return window->ProgressDialog()->Pos() > 0; }, 30000));
        QVERIFY(KillEncoders(Source(QStringLiteral("long.avi"))) > 0);
        QVERIFY(QTest::qWaitFor([&] { return !window->IsConverting(); }, 60000));
        QVERIFY(QFile::exists(Output(QStringLiteral("one.mp4"))));
        QVERIFY(!QFile::exists(Output(QStringLiteral("long.mp4"))));
        QVERIFY2(Messages().last().contains(QStringLiteral("the encoder stopped unexpectedly")),
                 qPrintable(Messages().last()));
    }

    void sourceIsNeverOverwritten()
    {
        // Two listed files in the output folder: "clip.mp4" exists, so its
        // output would be "clip_mp4.mp4", which is the other source.
        QVERIFY(QDir().mkpath(m_output));
        QVERIFY(QFile::copy(Source(QStringLiteral("wide.mp4")), Output(QStringLiteral("clip.mp4"))));
        QVERIFY(QFile::copy(Source(QStringLiteral("one.avi")), Output(QStringLiteral("clip_mp4.mp4"))));
        const QByteArray before = [&] {
            QFile f(Output(QStringLiteral("clip_mp4.mp4")));
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        auto window = std::make_unique<CKelvaroDlg>();
        qobject_cast<QLineEdit *>(window->Control(IDC_FOLDER))->setText(m_output);
        window->AddFiles({Output(QStringLiteral("clip.mp4")), Output(QStringLiteral("clip_mp4.mp4"))});
        QVERIFY(QTest::qWaitFor([&] { return window->Sources().RowCount() == 2; }, 20000));
        QVERIFY(Convert(*window));
        QFile f(Output(QStringLiteral("clip_mp4.mp4")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        QVERIFY2(Messages().last().contains(QStringLiteral("its output would overwrite a file in the list")),
                 qPrintable(Messages().last()));
    }

    void emptyListAndBadFolder()
    {
        auto window = std::make_unique<CKelvaroDlg>();
        window->OnCommand(IDC_CONVERT);
        QCOMPARE(Messages(), QStringList{QStringLiteral("No file in the list")});
        QVERIFY(!window->ProgressDialog()->isVisible());

        m_host.messages.clear();
        qobject_cast<QLineEdit *>(window->Control(IDC_FOLDER))->setText(m_output);
        window->AddFiles({Source(QStringLiteral("one.avi"))});
        QVERIFY(QTest::qWaitFor([&] { return window->Sources().RowCount() == 1; }, 20000));
        qobject_cast<QLineEdit *>(window->Control(IDC_FOLDER))->setText(QString());
        window->OnCommand(IDC_CONVERT);
        QCOMPARE(Messages(), QStringList{QStringLiteral("Fail to create tmp folder ")});
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

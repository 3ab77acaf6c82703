#include "engine/ConversionSettings.h"
#include "engine/EncoderJob.h"
#include "engine/LaunchEncoder.h"
#include "platform/EncoderContract.h"
#include "platform/EncoderGrammar.h"

#include "FakeHost.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// One encoder job from start to end. The channel test's peer stands in for
// the encoder and acts out the scenario its source's name says.
class EncoderJobTest : public QObject
{
    Q_OBJECT

private:
    // What a job said, in order, as text.
    struct Record {
        QStringList said;
        bool finished = false;
    };
    EncoderJob *Launch(const QString &source, int mode, Record &record, bool stopAtFirstReport = false)
    {
        EncoderJob *job = LaunchEncoder(m_settings, source, m_output.filePath(QStringLiteral("out.mp4")), {},
                                        mode, &m_owner);
        connect(job, &EncoderJob::Probed, &m_owner, [&record](int seconds, int width, int height) {
            record.said << QStringLiteral("probed %1 %2x%3").arg(seconds).arg(width).arg(height);
        });
        connect(job, &EncoderJob::Progress, &m_owner, [&record, job, stopAtFirstReport](int seconds) {
            record.said << QStringLiteral("progress %1").arg(seconds);
            if (stopAtFirstReport)
                job->AnswerStop();
        });
        connect(job, &EncoderJob::Finished, &m_owner, [&record, job] {
            if (!job->Failure().isEmpty())
                record.said << QStringLiteral("failed: ") + job->Failure();
            record.finished = true;
        });
        return job;
    }

    FakeHost m_host;
    ConversionSettings m_settings;
    QObject m_owner;
    QTemporaryDir m_output;

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_host.UseEncoder(QStringLiteral(KELVARO_TEST_HELPER_DIR "../platform/channel_peer")));
        m_host.startResult = true;
        m_host.starts.clear();
    }

    void whatTheJobSays_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("stop");
        QTest::addColumn<QStringList>("said");
        QTest::newRow("probe") << "/v/probe.avi" << int(ENC_MODE_PROBE) << false << QStringList{"probed 12 640x480"};
        QTest::newRow("conversion") << "/v/clip.avi" << int(ENC_MODE_CONVERT) << false
                                    << QStringList{"progress 1", "progress 2"};
        QTest::newRow("told to stop") << "/v/clip.avi" << int(ENC_MODE_CONVERT) << true << QStringList{"progress 1"};
        QTest::newRow("unreadable") << "/v/fail.avi" << int(ENC_MODE_PROBE) << false
                                    << QStringList{"failed: the file cannot be opened or is not a video file"};
        QTest::newRow("with the system's reason")
            << "/v/nospace.avi" << int(ENC_MODE_CONVERT) << false
            << QStringList{"failed: writing the output file failed (no space left on device)"};
        QTest::newRow("dies") << "/v/die.avi" << int(ENC_MODE_PROBE) << false
                              << QStringList{"failed: the encoder stopped unexpectedly"};
    }
    void whatTheJobSays()
    {
        QFETCH(QString, source);
        QFETCH(int, mode);
        QFETCH(bool, stop);
        Record record;
        Launch(source, mode, record, stop);
        QTRY_VERIFY(record.finished);
        QTEST(record.said, "said");
        // Started with its own channel, its number in the handle's place.
        const FakeHost::Start &start = m_host.starts.last();
        QCOMPARE(start.program, m_host.programFolder + QStringLiteral("morlenc"));
        QVERIFY(start.inheritedFd > 2);
        QCOMPARE(start.arguments.at(EncoderGrammar::kHandle), QString::number(start.inheritedFd));
    }

    void encoderThatCannotStartFailsFromTheEventLoop_data()
    {
        QTest::addColumn<bool>("programThere");
        QTest::newRow("refused") << true;
        QTest::newRow("no program") << false;
    }
    void encoderThatCannotStartFailsFromTheEventLoop()
    {
        QFETCH(bool, programThere);
        m_host.startResult = programThere ? false : true;
        if (!programThere)
            QFile::remove(m_host.programFolder + QStringLiteral("morlenc"));
        Record record;
        Launch(QStringLiteral("/v/probe.avi"), ENC_MODE_PROBE, record);
        QVERIFY(record.said.isEmpty());  // nobody is called back from within the start
        QTRY_VERIFY(record.finished);
        QCOMPARE(record.said, QStringList{"failed: " + EncoderJob::FailureText(ENC_FAIL_START, 0)});
    }

    void killedEncoderLeavesNothing()
    {
        Record record;
        Launch(QStringLiteral("/v/killed.avi"), ENC_MODE_CONVERT, record);
        QTRY_VERIFY(record.finished);
        QCOMPARE(record.said.last(), "failed: " + EncoderJob::FailureText(ENC_FAIL_DIED, 0));
        QTRY_VERIFY(QDir(m_output.path()).entryList({QStringLiteral(".morlenc-*")}, QDir::Files | QDir::Hidden).isEmpty());
    }

    void terminatedEncoderEndsWithoutFailing()
    {
        Record record;
        EncoderJob *job = Launch(QStringLiteral("/v/slow.avi"), ENC_MODE_CONVERT, record);
        QTRY_VERIFY(record.said.contains(QStringLiteral("progress 2")));
        job->Terminate();
        QTRY_VERIFY(record.finished);
        QVERIFY(!record.said.last().startsWith(QLatin1String("failed")));
    }

    void failureTexts_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<int>("systemError");
        QTest::addColumn<QString>("text");
        QTest::newRow("no reason given") << int(ENC_FAIL_OPEN_OUTPUT) << 0 << "the output file cannot be created";
        QTest::newRow("permission") << int(ENC_FAIL_OPEN_OUTPUT) << int(EACCES)
                                    << "the output file cannot be created (permission denied)";
        QTest::newRow("the system's words replace the guess")
            << int(ENC_FAIL_WRITE) << int(ENOSPC) << "writing the output file failed (no space left on device)";
    }
    void failureTexts()
    {
        QFETCH(int, reason);
        QFETCH(int, systemError);
        QTEST(EncoderJob::FailureText(reason, systemError), "text");
    }
};

QTEST_GUILESS_MAIN(EncoderJobTest)
#include "tst_encoderjob.moc"

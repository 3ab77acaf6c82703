#include "engine/ConversionSettings.h"
#include "engine/EncoderLauncher.h"
#include "platform/EncoderContract.h"

#include "FakeHost.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Call {
    int mode;
    int code;
    int value;
    bool operator==(const Call &) const = default;
};

} // namespace

Q_DECLARE_METATYPE(Call)

class LauncherTest : public QObject
{
    Q_OBJECT

private:
    // Runs the event loop until `count` calls arrived or time ran out.
    void WaitFor(const QList<Call> &calls, int count)
    {
        QTRY_VERIFY_WITH_TIMEOUT(calls.size() >= count, 5000);
    }

private Q_SLOTS:
    void init()
    {
        // The channel test's peer stands in for the encoder.
        QVERIFY(m_host.UseEncoder(QStringLiteral(KELVARO_TEST_HELPER_DIR "../platform/channel_peer")));
        m_host.startResult = true;
        m_host.starts.clear();
    }

    void probeStartsTheEncoderWithItsChannel()
    {
        QList<Call> calls;
        ConversionSettings settings;
        EncoderLauncher launcher(settings, [&](int mode, int code, int value) {
            calls.append({mode, code, value});
            return 0;
        });
        QCOMPARE(launcher.LaunchEncoder(QStringLiteral("/videos/probe.avi"), QStringLiteral("/out/probe.mp4"),
                                        0, 0, ENC_MODE_PROBE),
                 0);
        QCOMPARE(launcher.RunningJobs(), 1);
        WaitFor(calls, 4);
        QCOMPARE(calls, (QList<Call>{{1, 1, 12}, {1, 2, 640}, {1, 3, 480}, {1, 4, 0}}));
        QTRY_COMPARE(launcher.RunningJobs(), 0);

        QCOMPARE(m_host.starts.size(), 1);
        const FakeHost::Start &start = m_host.starts.first();
        QCOMPARE(start.program, m_host.programFolder + QStringLiteral("morlenc"));
        QVERIFY(start.inheritedFd > 2);
        QCOMPARE(start.arguments.last(), QString::number(start.inheritedFd));
        QVERIFY(launcher.LastOptionString().endsWith(QStringLiteral(" 1 ") + QString::number(start.inheritedFd)));
    }

    void probeAndConversionRunSideBySide()
    {
        QList<Call> calls;
        ConversionSettings settings;
        EncoderLauncher launcher(settings, [&](int mode, int code, int value) {
            calls.append({mode, code, value});
            return 0;
        });
        launcher.LaunchEncoder(QStringLiteral("/v/convert.avi"), QStringLiteral("/o/convert.mp4"), 0, 0,
                               ENC_MODE_CONVERT);
        launcher.LaunchEncoder(QStringLiteral("/v/long.avi"), QStringLiteral("/o/long.mp4"), 0, 0,
                               ENC_MODE_PROBE);
        QCOMPARE(launcher.RunningJobs(), 2);
        WaitFor(calls, 7);
        QList<Call> conversion, probe;
        for (const Call &call : calls)
            (call.mode == ENC_MODE_CONVERT ? conversion : probe).append(call);
        QCOMPARE(conversion, (QList<Call>{{0, 5, 1}, {0, 5, 100}, {0, 6, 0}}));
        QCOMPARE(probe, (QList<Call>{{1, 1, 360000}, {1, 2, 640}, {1, 3, 480}, {1, 4, 0}}));
        QTRY_COMPARE(launcher.RunningJobs(), 0);
    }

    void encoderThatCannotStartStillEndsItsJob_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("probe") << int(ENC_MODE_PROBE);
        QTest::newRow("conversion") << int(ENC_MODE_CONVERT);
    }
    void encoderThatCannotStartStillEndsItsJob()
    {
        QFETCH(int, mode);
        m_host.startResult = false;
        QList<Call> calls;
        ConversionSettings settings;
        EncoderLauncher launcher(settings, [&](int m, int code, int value) {
            calls.append({m, code, value});
            return 0;
        });
        launcher.LaunchEncoder(QStringLiteral("/v/a.avi"), QStringLiteral("/o/a.mp4"), 0, 0, mode);
        QVERIFY(calls.isEmpty());
        WaitFor(calls, 2);
        QCOMPARE(calls, (QList<Call>{{mode, ENC_FAILED, ENC_FAIL_START}, {mode, FinalCodeOf(mode), 0}}));
        QTRY_COMPARE(launcher.RunningJobs(), 0);
    }

    void missingEncoderProgramEndsItsJob()
    {
        QFile::remove(m_host.programFolder + QStringLiteral("morlenc"));
        QList<Call> calls;
        ConversionSettings settings;
        EncoderLauncher launcher(settings, [&](int m, int code, int value) {
            calls.append({m, code, value});
            return 0;
        });
        launcher.LaunchEncoder(QStringLiteral("/v/a.avi"), QStringLiteral("/o/a.mp4"), 0, 0, ENC_MODE_PROBE);
        WaitFor(calls, 2);
        QCOMPARE(calls, (QList<Call>{{1, ENC_FAILED, ENC_FAIL_START}, {1, ENC_PROBE_DONE, 0}}));
    }

private:
    FakeHost m_host;
};

QTEST_GUILESS_MAIN(LauncherTest)
#include "tst_launcher.moc"

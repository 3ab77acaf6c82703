#include "platform/ChannelLineReader.h"
#include "platform/EncoderChannel.h"
#include "platform/EncoderContract.h"
#include "platform/ProcessStart.h"

#include <QSignalSpy>
#include <QTest>

using Calls = QList<QPair<int, int>>;
Q_DECLARE_METATYPE(Calls)

class ChannelTest : public QObject
{
    Q_OBJECT

private:
    // Runs the peer with a scenario and collects what the handler saw.
    Calls Run(const QString &scenario, int mode, const QList<int> &answers = {},
              bool nestLoop = false)
    {
        Calls calls;
        QList<int> script = answers;
        EncoderChannel channel(mode, [&](int code, int value) {
            calls.append({code, value});
            if (nestLoop)
                QTest::qWait(50);  // as a question box would
            return code == ENC_PROGRESS && !script.isEmpty() ? script.takeFirst() : 0;
        });
        QSignalSpy finished(&channel, &EncoderChannel::Finished);
        if (!channel.Open())
            return {};
        const QString peer = QStringLiteral(KELVARO_TEST_HELPER_DIR "channel_peer");
        if (!StartProgramWithDescriptor(peer, {scenario, QString::number(channel.ChildDescriptor())},
                                        channel.ChildDescriptor()))
            return {};
        channel.ChildStarted();
        if (!finished.wait(5000))
            calls.append({-1, -1});  // marks a hang
        QTest::qWait(20);            // nothing may follow the end
        if (finished.count() != 1)
            calls.append({-2, int(finished.count())});
        return calls;
    }

private Q_SLOTS:
    void scenarios_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<Calls>("expected");

        QTest::newRow("probe in order")
            << "probe" << int(ENC_MODE_PROBE) << QList<int>{}
            << Calls{{1, 12}, {2, 640}, {3, 480}, {4, 0}};
        QTest::newRow("line split across writes")
            << "split" << int(ENC_MODE_PROBE) << QList<int>{} << Calls{{1, 12}, {4, 0}};
        QTest::newRow("go on then stop: no final code")
            << "convert" << int(ENC_MODE_CONVERT) << QList<int>{0, 1} << Calls{{5, 1}, {5, 100}};
        QTest::newRow("go on twice: final code")
            << "convert" << int(ENC_MODE_CONVERT) << QList<int>{0, 0}
            << Calls{{5, 1}, {5, 100}, {6, 0}};
        QTest::newRow("first answer stop")
            << "convert" << int(ENC_MODE_CONVERT) << QList<int>{1} << Calls{{5, 1}};
        QTest::newRow("garbage ignored")
            << "garbage" << int(ENC_MODE_PROBE) << QList<int>{} << Calls{{1, 42}, {4, 0}};
        QTest::newRow("died mid-job")
            << "die" << int(ENC_MODE_PROBE) << QList<int>{}
            << Calls{{1, 5}, {ENC_FAILED, ENC_FAIL_DIED}, {4, 0}};
        QTest::newRow("failed without final code")
            << "fail" << int(ENC_MODE_CONVERT) << QList<int>{} << Calls{{ENC_FAILED, 2}, {6, 0}};
        QTest::newRow("nothing after the final code")
            << "after-final" << int(ENC_MODE_PROBE) << QList<int>{} << Calls{{4, 0}};
        QTest::newRow("codes of the other kind of job ignored")
            << "wrong-job" << int(ENC_MODE_PROBE) << QList<int>{} << Calls{{1, 4}, {4, 0}};
        QTest::newRow("unknown scenario exits at once")
            << "silent" << int(ENC_MODE_CONVERT) << QList<int>{}
            << Calls{{ENC_FAILED, ENC_FAIL_DIED}, {6, 0}};
    }
    void scenarios()
    {
        QFETCH(QString, scenario);
        QFETCH(int, mode);
        QFETCH(QList<int>, answers);
        QFETCH(Calls, expected);
        QCOMPARE(Run(scenario, mode, answers), expected);
    }

    void nestedEventLoopInHandlerDeliversOnce()
    {
        QCOMPARE(Run(QStringLiteral("convert"), ENC_MODE_CONVERT, {0, 0}, true),
                 (Calls{{5, 1}, {5, 100}, {6, 0}}));
    }

    void programThatCannotStartFailsLater()
    {
        Calls calls;
        EncoderChannel channel(ENC_MODE_PROBE, [&](int code, int value) {
            calls.append({code, value});
            return 0;
        });
        QSignalSpy finished(&channel, &EncoderChannel::Finished);
        QVERIFY(channel.Open());
        QVERIFY(!StartProgramWithDescriptor(QStringLiteral("/nonexistent/morlenc"), {}, channel.ChildDescriptor()));
        channel.FailLater(ENC_FAIL_START);
        QVERIFY(calls.isEmpty());  // never inside the caller
        QVERIFY(finished.wait(1000));
        QCOMPARE(calls, (Calls{{ENC_FAILED, ENC_FAIL_START}, {4, 0}}));
    }

    void parsesLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << QByteArray("5 120") << true << 5 << 120;
        QTest::newRow("negative") << QByteArray("7 -3") << true << 7 << -3;
        QTest::newRow("int limits") << QByteArray("1 -2147483648") << true << 1 << int(-2147483647 - 1);
        QTest::newRow("overflow") << QByteArray("1 2147483648") << false << 0 << 0;
        QTest::newRow("two spaces") << QByteArray("1  2") << false << 0 << 0;
        QTest::newRow("trailing blank") << QByteArray("1 2 ") << false << 0 << 0;
        QTest::newRow("plus sign") << QByteArray("1 +2") << false << 0 << 0;
        QTest::newRow("carriage return") << QByteArray("1 2\r") << false << 0 << 0;
        QTest::newRow("no value") << QByteArray("1") << false << 0 << 0;
        QTest::newRow("empty") << QByteArray() << false << 0 << 0;
        QTest::newRow("nul byte") << QByteArray("1 2").append('\0') << false << 0 << 0;
    }
    void parsesLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, valid);
        const auto message = ChannelLineReader::Parse(line);
        QCOMPARE(message.has_value(), valid);
        if (valid) {
            QTEST(message->code, "code");
            QTEST(message->value, "value");
        }
    }

    void overlongLineIsDroppedWhole()
    {
        ChannelLineReader reader;
        reader.Feed(QByteArray(100, '1'));
        QVERIFY(!reader.Next());
        reader.Feed(QByteArray(100, '2') + " 3\n4 5\n");
        const auto message = reader.Next();
        QVERIFY(message);
        QCOMPARE(message->code, 4);
        QCOMPARE(message->value, 5);
        QVERIFY(!reader.Next());
    }
};

QTEST_GUILESS_MAIN(ChannelTest)
#include "tst_channel.moc"

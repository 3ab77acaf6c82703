// Jobs started through the encoder's own server: they answer as a job
// started the usual way, they are our children, and whenever the server
// cannot take a job the caller is told to start it the usual way.

#include "platform/EncoderContract.h"
#include "platform/ProcessStart.h"
#include "platform/WarmStart.h"
#include "platform/WarmStartRequest.h"
#include "tests/morlenc/MorlencRunner.h"
#include "tests/support/TestMedia.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <optional>

#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A channel: our end first, then the job's, of which the job gets a copy.
struct Channel {
    int ends[2] = {-1, -1};
    Channel() { ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends); }
    ~Channel()
    {
        ::close(ends[0]);
        ::close(ends[1]);
    }
    int Theirs() const { return ends[1]; }
    QByteArray ReadLine() const
    {
        QByteArray line;
        char byte = 0;
        pollfd watch{ends[0], POLLIN, 0};
        while (::poll(&watch, 1, 30000) == 1 && ::read(ends[0], &byte, 1) == 1 && byte != '\n')
            line += byte;
        return line;
    }
};

// Asks until the server, started in the background, takes the job.
std::optional<qint64> StartWhenServed(WarmStart &warm, const QStringList &arguments, int descriptor)
{
    QElapsedTimer clock;
    clock.start();
    std::optional<qint64> pid;
    const QStringList environment{QStringLiteral("MORLENC_THREADS=1")};
    while (!(pid = warm.Start(MorlencRunner::Program(), arguments, descriptor, environment)) && clock.elapsed() < 20000)
        QTest::qWait(20);
    return pid;
}

} // namespace

class TestMorlencWarm : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_plain;

    QStringList Job(int mode, const Channel &channel) const
    {
        return MorlencRunner::Arguments(m_plain, m_dir.filePath(QStringLiteral("out.mp4")), mode, channel.Theirs());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_plain = m_dir.filePath(QStringLiteral("plain.avi"));
        TestMedia::VideoRecipe recipe;
        recipe.path = m_plain;
        recipe.seconds = 3;
        QCOMPARE(TestMedia::MakeVideo(recipe), QString());
    }

    void requestsTravelWhole_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("understood");
        const auto made = [](int descriptor, std::vector<std::string> arguments,
                             std::vector<std::string> environment) {
            const std::string bytes = EncodeWarmStartRequest({descriptor, "/tmp", arguments, environment});
            return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
        };
        // A literal's bytes, its NULs too.
        const auto raw = [](const auto &literal) { return QByteArray(literal, sizeof literal - 1); };
        QTest::newRow("a name with a line break and a byte that is not UTF-8")
            << made(5, {"morlenc", "a\nb \xff.avi", ""}, {"MORLENC_THREADS=1"}) << true;
        QTest::newRow("no descriptor, no environment") << made(-1, {"morlenc"}, {}) << true;
        QTest::newRow("cut short") << made(5, {"morlenc", "x"}, {}).chopped(1) << false;
        QTest::newRow("more arguments counted than sent") << raw("5\0/\0" "3\0a\0b\0") << false;
        QTest::newRow("no arguments") << raw("5\0/\0" "0\0") << false;
        QTest::newRow("no folder") << raw("5\0\0" "1\0a\0") << false;
        QTest::newRow("a descriptor that is not a number") << raw("x\0/\0" "1\0a\0") << false;
        QTest::newRow("a setting without a name") << raw("5\0/\0" "1\0a\0=b\0") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }
    void requestsTravelWhole()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, understood);
        const std::optional<WarmStartRequest> request
            = DecodeWarmStartRequest(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        QCOMPARE(request.has_value(), understood);
        if (understood)
            QCOMPARE(EncodeWarmStartRequest(*request), bytes.toStdString());
    }

    void aServedJobIsOurChild()
    {
        const QString here = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        WarmStart warm(MorlencRunner::Program());
        QSignalSpy ends(&ProgramEnds::Instance(), &ProgramEnds::Ended);

        // A probe answers as it does when started the usual way.
        Channel probe;
        const std::optional<qint64> prober = StartWhenServed(warm, Job(ENC_MODE_PROBE, probe), probe.Theirs());
        QVERIFY(prober && *prober > 0);
        QCOMPARE(probe.ReadLine(), QByteArray("1 3"));
        QCOMPARE(probe.ReadLine(), QByteArray("2 320"));
        QCOMPARE(probe.ReadLine(), QByteArray("3 240"));
        QCOMPARE(probe.ReadLine(), QByteArray("4 0"));
        // Reaped by us: only a parent can.
        QTRY_VERIFY_WITH_TIMEOUT(ends.contains({*prober}), 10000);

        // A conversion starts in our folder, waits at its first report and
        // stops when asked, leaving nothing.
        Channel conversion;
        const std::optional<qint64> converter
            = warm.Start(MorlencRunner::Program(), Job(ENC_MODE_CONVERT, conversion), conversion.Theirs(), {});
        QVERIFY(converter && *converter > 0);
        QVERIFY(conversion.ReadLine().startsWith("5 "));
        QCOMPARE(QFileInfo(QStringLiteral("/proc/%1/cwd").arg(*converter)).symLinkTarget(),
                 QFileInfo(m_dir.path()).canonicalFilePath());
        QCOMPARE(::write(conversion.ends[0], "1\n", 2), ssize_t(2));
        QTRY_VERIFY_WITH_TIMEOUT(ends.contains({*converter}), 10000);
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("*.mp4"), QStringLiteral(".morlenc-*")},
                                              QDir::Files | QDir::Hidden), QStringList());

        // A server that is gone takes nothing: the job starts the usual way.
        QVERIFY(warm.Server() != 0);
        ::kill(static_cast<pid_t>(warm.Server()), SIGKILL);
        siginfo_t ended{};
        QCOMPARE(::waitid(P_PID, static_cast<id_t>(warm.Server()), &ended, WEXITED | WNOWAIT), 0);
        Channel late;
        QCOMPARE(warm.Start(MorlencRunner::Program(), Job(ENC_MODE_PROBE, late), late.Theirs(), {}), std::nullopt);
        QCOMPARE(warm.Server(), qint64(0));
        QCOMPARE(RunningPrograms(), 0);
        QVERIFY(QDir::setCurrent(here));
    }

    void aProgramThatDoesNotServeIsStartedAsUsual()
    {
        WarmStart warm(QStringLiteral("/bin/true"));
        std::optional<qint64> started;
        // Asked until the program has ended and been noticed.
        QTRY_VERIFY_WITH_TIMEOUT((started = warm.Start(QStringLiteral("/bin/true"), {}, -1, {})) || warm.Server() == 0,
                                 10000);
        QCOMPARE(started, std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestMorlencWarm)
#include "tst_morlenc_warm.moc"

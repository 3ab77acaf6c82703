// Probes, failures and the channel of the built encoder.

#include "platform/EncoderContract.h"
#include "platform/PartFile.h"
#include "tests/morlenc/MorlencRunner.h"
#include "tests/support/TestMedia.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>

using MorlencRunner::ChannelJob;

namespace {

QString S(const char *text)
{
    return QString::fromUtf8(text);
}

QByteArray Line(int code, int value)
{
    return QByteArray::number(code) + ' ' + QByteArray::number(value);
}

} // namespace

class TestMorlencJobs : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_plain;  // 320x240, 3 s, with sound

    QString PathOf(const QString &name) const { return m_dir.filePath(name); }

    // The temporary files of unfinished outputs in the folder.
    QStringList PartFiles() const
    {
        return QDir(m_dir.path()).entryList({S(".morlenc-*.part")}, QDir::Files | QDir::Hidden);
    }

    // Nothing that looks like an output, finished or not.
    void VerifyNoOutput(const QString &output)
    {
        QVERIFY2(!QFile::exists(output), qPrintable(output));
        QVERIFY2(PartFiles().isEmpty(), qPrintable(PartFiles().join(' ')));
    }

    // Answers "go on" to every progress report; true once the job ended
    // with its final code.
    static bool RunToTheEnd(ChannelJob &job)
    {
        for (QByteArray line = job.ReadLine(); !line.isEmpty(); line = job.ReadLine()) {
            if (line.startsWith("5 "))
                job.Answer("0\n");
            else if (line == Line(ENC_FILE_DONE, 0))
                return job.Process().waitForFinished(10000) && job.Process().exitCode() == 0;
        }
        return false;
    }

    QString MakeSource(const QString &kind)
    {
        const QString path = PathOf(kind);
        QFile file(path);
        if (kind == S("empty.avi")) {
            file.open(QIODevice::WriteOnly);
        } else if (kind == S("text.avi") || kind == S("notes.txt")) {
            file.open(QIODevice::WriteOnly);
            file.write("These are not the frames you are looking for.\n");
        } else if (kind == S("truncated.mp4")) {
            // The index of this file is at its end, so half of it is lost.
            TestMedia::VideoRecipe recipe;
            recipe.path = path;
            recipe.extraArgs = QStringList{S("-c:v"), S("mpeg4")};
            if (!TestMedia::MakeVideo(recipe).isEmpty() || !file.resize(file.size() / 2))
                return {};
        } else if (kind == S("sound.m4a")) {
            QStringList args{S("-v"), S("error"), S("-y"), S("-f"), S("lavfi"), S("-i"),
                             S("sine=duration=1"), path};
            if (TestMedia::Run(S("ffmpeg"), args) != 0)
                return {};
        } else if (kind == S("cover.mp3")) {
            // Sound with a still picture beside it is no video.
            QStringList args{S("-v"), S("error"), S("-y"), S("-f"), S("lavfi"), S("-i"),
                             S("sine=duration=1"), S("-f"), S("lavfi"), S("-i"),
                             S("testsrc=size=64x64:duration=0.04"), S("-map"), S("0"), S("-map"),
                             S("1"), S("-c:v"), S("png"), S("-disposition:v"),
                             S("attached_pic"), path};
            if (TestMedia::Run(S("ffmpeg"), args) != 0)
                return {};
        } else if (kind == S("plain")) {
            return m_plain;
        }
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_plain = PathOf(S("plain.avi"));
        TestMedia::VideoRecipe recipe;
        recipe.path = m_plain;
        recipe.seconds = 3;
        recipe.extraArgs = QStringList{S("-c:v"), S("mpeg4"), S("-c:a"), S("libmp3lame")};
        QCOMPARE(TestMedia::MakeVideo(recipe), QString());
    }

    void helpAndVersion()
    {
        const auto help = MorlencRunner::Run({S("--help")});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.lines.join('\n').contains(EncoderFailureText(ENC_FAIL_FOLDER_GONE)));
        // Read in a terminal and made into the manual page: 80 columns.
        for (const QByteArray &line : help.lines)
            QVERIFY2(line.size() <= 80, line.constData());
        const auto version = MorlencRunner::Run({S("--version")});
        QCOMPARE(version.exitCode, 0);
        QVERIFY(version.lines.join('\n').contains("libavcodec"));
    }

    void probeReportsDisplaySize_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("stored");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QSize>("shown");
        QTest::addColumn<int>("duration");
        QTest::addColumn<bool>("turned");
        QTest::addColumn<double>("leadIn");
        QTest::addColumn<double>("stated");

        QTest::newRow("plain") << S("p.avi") << QSize(320, 240) << 2.0 << QStringList{S("-c:v"), S("mpeg4")} << QSize(320, 240) << 2 << false << 0.0 << 0.0;
        QTest::newRow("rounded duration") << S("d.avi") << QSize(160, 120) << 2.6 << QStringList{S("-c:v"), S("mpeg4")} << QSize(160, 120) << 3 << false << 0.0 << 0.0;
        QTest::newRow("rotated") << S("r.mp4") << QSize(320, 176) << 1.0 << QStringList{S("-c:v"), S("mpeg4")} << QSize(176, 320) << 1 << true << 0.0 << 0.0;
        QTest::newRow("anamorphic") << S("a.mpg") << QSize(720, 576) << 1.0 << QStringList{S("-c:v"), S("mpeg2video"), S("-aspect"), S("16:9")} << QSize(1024, 576) << 1 << false << 0.0 << 0.0;
        QTest::newRow("odd size") << S("o.mkv") << QSize(333, 199) << 1.0 << QStringList{S("-c:v"), S("libx264"), S("-pix_fmt"), S("yuv444p")} << QSize(333, 199) << 1 << false << 0.0 << 0.0;
        // The length the conversion will have, where the header says otherwise.
        QTest::newRow("header says an hour, mp4") << S("h.mp4") << QSize(320, 240) << 3.0 << QStringList{S("-c:v"), S("mpeg4")} << QSize(320, 240) << 3 << false << 0.0 << 3600.0;
        QTest::newRow("header says an hour, avi") << S("h.avi") << QSize(320, 240) << 3.0 << QStringList{S("-c:v"), S("mpeg4")} << QSize(320, 240) << 3 << false << 0.0 << 3600.0;
        QTest::newRow("header says less, mp4") << S("l.mp4") << QSize(320, 240) << 6.0 << QStringList{S("-c:v"), S("mpeg4")} << QSize(320, 240) << 6 << false << 0.0 << 2.0;
        QTest::newRow("empty lead-in, mp4") << S("e.mp4") << QSize(320, 240) << 5.0 << QStringList{S("-c:v"), S("mpeg4")} << QSize(320, 240) << 5 << false << 5.0 << 0.0;
    }

    // The program shows these numbers and fits the picture by them.
    void probeReportsDisplaySize()
    {
        QFETCH(QSize, stored);
        QFETCH(QSize, shown);
        TestMedia::VideoRecipe recipe;
        QFETCH(QString, file);
        recipe.path = PathOf(file);
        recipe.width = stored.width();
        recipe.height = stored.height();
        QFETCH(double, seconds);
        recipe.seconds = seconds;
        QFETCH(QStringList, args);
        recipe.extraArgs = args;
        QFETCH(bool, turned);
        recipe.quarterTurn = turned;
        QFETCH(double, leadIn);
        recipe.leadIn = leadIn;
        QFETCH(double, stated);
        recipe.statedSeconds = stated;
        QCOMPARE(TestMedia::MakeVideo(recipe), QString());
        const auto result = MorlencRunner::Run(
            MorlencRunner::Arguments(recipe.path, PathOf(S("unused.mp4")), ENC_MODE_PROBE, -1));
        QCOMPARE(result.exitCode, 0);
        QFETCH(int, duration);
        const QByteArrayList expected{Line(ENC_DURATION, duration),
                                      Line(ENC_WIDTH, shown.width()),
                                      Line(ENC_HEIGHT, shown.height()), Line(ENC_PROBE_DONE, 0)};
        QCOMPARE(result.lines, expected);
        QVERIFY(!QFile::exists(PathOf(S("unused.mp4"))));
    }

    void failures_data()
    {
        QTest::addColumn<QString>("sourceKind");
        QTest::addColumn<QString>("outputName");  // relative to the test folder
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("reason");
        QTest::addColumn<int>("systemError");  // 0: none comes

        const QString out = S("failed.mp4");
        QTest::newRow("empty file") << S("empty.avi") << out << 0 << int(ENC_FAIL_OPEN_INPUT) << 0;
        QTest::newRow("empty file, probe") << S("empty.avi") << out << 1 << int(ENC_FAIL_OPEN_INPUT) << 0;
        QTest::newRow("text file") << S("text.avi") << out << 0 << int(ENC_FAIL_OPEN_INPUT) << 0;
        QTest::newRow("text file named .txt, probe") << S("notes.txt") << out << 1 << int(ENC_FAIL_OPEN_INPUT) << 0;
        QTest::newRow("truncated file, index lost") << S("truncated.mp4") << out << 0 << int(ENC_FAIL_OPEN_INPUT) << 0;
        QTest::newRow("audio-only file") << S("sound.m4a") << out << 0 << int(ENC_FAIL_NO_VIDEO) << 0;
        QTest::newRow("audio-only file, probe") << S("sound.m4a") << out << 1 << int(ENC_FAIL_NO_VIDEO) << 0;
        QTest::newRow("sound with cover art") << S("cover.mp3") << out << 1 << int(ENC_FAIL_NO_VIDEO) << 0;
        QTest::newRow("missing file") << S("missing.avi") << out << 0 << int(ENC_FAIL_OPEN_INPUT) << ENOENT;
        QTest::newRow("missing file, probe") << S("missing.avi") << out << 1 << int(ENC_FAIL_OPEN_INPUT) << ENOENT;
        QTest::newRow("output folder missing") << S("plain") << S("gone/away/x.mp4") << 0 << int(ENC_FAIL_OPEN_OUTPUT) << ENOENT;
        QTest::newRow("output folder is a file") << S("plain") << S("plain.avi/x.mp4") << 0 << int(ENC_FAIL_OPEN_OUTPUT) << ENOTDIR;
        QTest::newRow("output folder read-only") << S("plain") << S("read-only/x.mp4") << 0 << int(ENC_FAIL_OPEN_OUTPUT) << EACCES;
    }

    // A clear message, code 7 with the reason, the final code, nothing left
    // behind, no hang.
    void failures()
    {
        QFETCH(int, mode);
        QFETCH(int, reason);
        QFETCH(QString, sourceKind);
        QFETCH(QString, outputName);
        const QString source = MakeSource(sourceKind);
        QVERIFY(!source.isEmpty());
        const QString output = PathOf(outputName);
        // A folder an ordinary user may read but not write; the test folder
        // open to that user on the way to it and to the source.
        const bool readOnly = outputName.startsWith(S("read-only/"));
        if (readOnly) {
            const auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
            QVERIFY(QFile::setPermissions(m_dir.path(), open));
            QVERIFY(QDir().mkpath(PathOf(S("read-only"))));
            QVERIFY(QFile::setPermissions(PathOf(S("read-only")), open & ~QFile::WriteOwner));
        }
        QElapsedTimer timer;
        timer.start();
        const auto result = MorlencRunner::Run(MorlencRunner::Arguments(source, output, mode, -1), 20000, readOnly);
        QVERIFY(timer.elapsed() < 20000);
        QVERIFY(result.exitCode > 0);
        QFETCH(int, systemError);
        QByteArrayList expected{Line(ENC_FAILED, reason), Line(FinalCodeOf(mode), 0)};
        if (systemError != 0)
            expected.prepend(Line(ENC_SYSTEM_ERROR, systemError));
        QCOMPARE(result.lines, expected);
        QVERIFY(result.errors.startsWith("morlenc: "));
        QCOMPARE(result.errors.count('\n'), 1);
        VerifyNoOutput(output);
    }

    void refusedArguments_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("mode");
        QTest::newRow("unknown option") << 3 << S("-fps") << 0;
        QTest::newRow("unknown option, probe") << 5 << S("-audio") << 1;
        QTest::newRow("bad number") << 18 << S("aglobal=1:vglobal=1:vcodec=mpeg4:vbitrate=1e3:vhq:acodec=aac:abitrate=96") << 0;
        QTest::newRow("mode 2") << 23 << S("2") << 0;
    }

    // Refused on the real channel too: the program must hear the end.
    void refusedArguments()
    {
        QFETCH(int, index);
        QFETCH(int, mode);
        const QString output = PathOf(S("refused.mp4"));
        QStringList args = MorlencRunner::Arguments(m_plain, output, mode, -1);
        QFETCH(QString, value);
        args[index] = value;
        ChannelJob job;
        QVERIFY(job.StartWith(args));
        QCOMPARE(job.ReadLine(), Line(ENC_FAILED, ENC_FAIL_ARGUMENTS));
        QCOMPARE(job.ReadLine(), Line(FinalCodeOf(mode), 0));
        QCOMPARE(job.ReadLine(), QByteArray());
        QVERIFY(job.Process().waitForFinished(10000));
        QCOMPARE(job.Process().exitCode(), 2);
        const QByteArray errors = job.Process().readAllStandardError();
        QVERIFY(errors.startsWith("morlenc: "));
        QCOMPARE(errors.count('\n'), 1);
        VerifyNoOutput(output);
    }

    void probeOverChannel()
    {
        ChannelJob job;
        QVERIFY(job.Start(m_plain, PathOf(S("unused.mp4")), ENC_MODE_PROBE));
        QCOMPARE(job.ReadLine(), Line(ENC_DURATION, 3));
        QCOMPARE(job.ReadLine(), Line(ENC_WIDTH, 320));
        QCOMPARE(job.ReadLine(), Line(ENC_HEIGHT, 240));
        QCOMPARE(job.ReadLine(), Line(ENC_PROBE_DONE, 0));
        QCOMPARE(job.ReadLine(), QByteArray()); // and nothing more
        QVERIFY(job.Process().waitForFinished(10000));
        QCOMPARE(job.Process().exitCode(), 0);
    }

    // Each whole second once, in order, each answered before the next.
    void progressAnsweredGoOn()
    {
        const QString output = PathOf(S("goon.mp4"));
        ChannelJob job;
        QVERIFY(job.Start(m_plain, output, ENC_MODE_CONVERT));
        QByteArrayList lines;
        for (QByteArray line = job.ReadLine(); !line.isEmpty(); line = job.ReadLine()) {
            lines << line;
            if (line.startsWith("5 ")) {
                QVERIFY(!QFile::exists(output));
                job.Answer("0\n");
            }
        }
        // 1, 2 and perhaps 3 for the last picture at three seconds.
        QVERIFY2(lines.size() >= 3 && lines.size() <= 4, lines.join(' ').constData());
        for (int i = 0; i + 1 < lines.size(); ++i)
            QCOMPARE(lines[i], Line(ENC_PROGRESS, i + 1));
        QCOMPARE(lines.last(), Line(ENC_FILE_DONE, 0));
        QVERIFY(job.Process().waitForFinished(10000));
        QCOMPARE(job.Process().exitCode(), 0);
        QVERIFY(QFile::exists(output));
        QVERIFY(PartFiles().isEmpty());
    }

    // Two jobs on one output (two windows converting the same file, or a
    // new batch right after a stop) each write a file of their own; the one
    // stopped removes only its own, the others end with one complete file.
    void jobsOnTheSameOutput_data()
    {
        QTest::addColumn<bool>("firstStopped");
        QTest::newRow("both finish") << false;
        QTest::newRow("the first stopped while the second runs") << true;
    }
    void jobsOnTheSameOutput()
    {
        QFETCH(bool, firstStopped);
        const QString output = PathOf(S("same.mp4"));
        ChannelJob first;
        ChannelJob second;
        QVERIFY(first.Start(m_plain, output, ENC_MODE_CONVERT));
        QVERIFY(second.Start(m_plain, output, ENC_MODE_CONVERT));
        QCOMPARE(first.ReadLine(), Line(ENC_PROGRESS, 1));
        QCOMPARE(second.ReadLine(), Line(ENC_PROGRESS, 1));
        QCOMPARE(PartFiles().size(), 2);
        if (firstStopped) {
            first.Answer("1\n");
            QVERIFY(first.Process().waitForFinished(10000));
            QCOMPARE(PartFiles().size(), 1);
            second.Answer("0\n");
        } else {
            first.Answer("0\n");
            second.Answer("0\n");
            QVERIFY(RunToTheEnd(first));
        }
        QVERIFY(RunToTheEnd(second));
        QVERIFY(PartFiles().isEmpty());
        const QJsonObject format = TestMedia::Probe(output).value(S("format")).toObject();
        const double seconds = format.value(S("duration")).toString().toDouble();
        QVERIFY2(seconds > 2.5, qPrintable(QString::number(seconds)));
        QFile::remove(output);
    }

    // Names as long as a file name may be (255 bytes), downloaded videos
    // have them: the temporary name must not be what is too long.
    void longestNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("255 letters") << QString(251, QLatin1Char('x')) + S(".mp4");
        QTest::newRow("two bytes a letter") << QString(124, QChar(0x00FC)) + S("xx.mp4");
    }
    void longestNames()
    {
        QFETCH(QString, name);
        QVERIFY(name.toUtf8().size() >= 254);
        const QString output = PathOf(name);
        const auto result = MorlencRunner::Run(MorlencRunner::Arguments(m_plain, output, ENC_MODE_CONVERT, -1));
        QVERIFY2(result.exitCode == 0, result.errors.constData());
        QVERIFY(QFile::exists(output));
        QVERIFY(PartFiles().isEmpty());
        QFile::remove(output);
    }

    // The output folder removed (or the player unplugged) during a job: the
    // job notices within moments and says so, leaving nothing.
    void outputFolderRemoved()
    {
        const QString folder = PathOf(S("player"));
        QVERIFY(QDir().mkpath(folder));
        const QString output = folder + S("/removed.mp4");
        ChannelJob job;
        QVERIFY(job.Start(m_plain, output, ENC_MODE_CONVERT));
        QCOMPARE(job.ReadLine(), Line(ENC_PROGRESS, 1));
        QVERIFY(QDir(folder).removeRecursively());
        QTest::qWait(1200);
        job.Answer("0\n");
        QCOMPARE(job.ReadLine(), Line(ENC_SYSTEM_ERROR, ENOENT));
        QCOMPARE(job.ReadLine(), Line(ENC_FAILED, ENC_FAIL_FOLDER_GONE));
        QCOMPARE(job.ReadLine(), Line(ENC_FILE_DONE, 0));
        QVERIFY(job.Process().waitForFinished(5000));
        QCOMPARE(job.Process().exitCode(), 1);
        QVERIFY(!QFileInfo::exists(folder));
        VerifyNoOutput(output);
    }

    void interruptions_data()
    {
        QTest::addColumn<QByteArray>("answer"); // empty: no answer
        QTest::addColumn<int>("signal");        // 0: none
        QTest::addColumn<bool>("closeChannel");
        QTest::newRow("answer 1") << QByteArray("1\n") << 0 << false;
        QTest::newRow("garbage answer") << QByteArray("yes\n") << 0 << false;
        QTest::newRow("program gone") << QByteArray() << 0 << true;
        QTest::newRow("SIGTERM while waiting") << QByteArray() << int(SIGTERM) << false;
        QTest::newRow("SIGKILL while waiting") << QByteArray() << int(SIGKILL) << false;
    }

    // A job stopped at its first progress report sends nothing more and
    // never leaves a file that looks finished; unless it was killed outright
    // it removes its partial file too.
    void interruptions()
    {
        QFETCH(QByteArray, answer);
        QFETCH(int, signal);
        QFETCH(bool, closeChannel);
        const QString output = PathOf(S("stopped.mp4"));
        ChannelJob job;
        QVERIFY(job.Start(m_plain, output, ENC_MODE_CONVERT));
        QCOMPARE(job.ReadLine(), Line(ENC_PROGRESS, 1));
        const QString partial = QString::fromStdString(PartFile::Name(PartFile::HostId(), job.Process().processId(), 0));
        QCOMPARE(PartFiles(), QStringList{partial});
        if (!answer.isEmpty())
            job.Answer(answer);
        if (signal != 0)
            ::kill(static_cast<pid_t>(job.Process().processId()), signal);
        if (closeChannel)
            job.CloseChannel();
        else
            QCOMPARE(job.ReadLine(5000), QByteArray());
        QVERIFY(job.Process().waitForFinished(5000));
        QVERIFY(!QFile::exists(output));
        // Killed outright it cannot clean up: the window program does.
        QCOMPARE(PartFiles(), signal == SIGKILL ? QStringList{partial} : QStringList{});
        QFile::remove(m_dir.filePath(partial));
    }
};

QTEST_GUILESS_MAIN(TestMorlencJobs)
#include "tst_morlenc_jobs.moc"

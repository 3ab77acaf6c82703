// The encoder's command line and its picture-fitting arithmetic, without
// FFmpeg.

#include "morlenc/Arguments.h"
#include "morlenc/Filters.h"
#include "platform/EncoderContract.h"

#include <QTest>

using namespace morlenc;

namespace {

// What the program starts for a probe of "clip.avi" with default settings.
std::vector<std::string> ProgramVector()
{
    return {"clip.avi", "-o", "clip.mp4", "-ofps", "30000/1001", "-af", "lavcresample=44100",
            "-vf", "scale=320:240,harddup", "-of", "lavf", "-oac", "lavc", "-ovc", "lavc",
            "-ffourcc", "MP4V", "-lavcopts",
            "aglobal=1:vglobal=1:vcodec=mpeg4:vbitrate=1000:vhq:acodec=aac:abitrate=96",
            "-lavfopts", "format=mp4:i_certify_that_my_video_stream_does_not_use_b_frames",
            "-endpos", "9:0:0", "1", "17"};
}

// Indexes into ProgramVector().
enum { kSource = 0, kAudio = 6, kVideo = 8, kCodecs = 18, kEnd = 22, kMode = 23, kHandle = 24 };

struct Change {
    int index;
    std::string value;
};

} // namespace

Q_DECLARE_METATYPE(Change)
Q_DECLARE_METATYPE(morlenc::Picture)

class TestMorlencArguments : public QObject {
    Q_OBJECT

private slots:
    void accepts_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<int>("gain");
        QTest::addColumn<bool>("fitInside");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");

        QTest::newRow("as the program starts it") << Change{kMode, "1"} << 0 << false << 320 << 240;
        QTest::newRow("boost") << Change{kAudio, "volume=+20db:0:lavcresample=44100"} << 20 << false << 320 << 240;
        QTest::newRow("cut, upper-case dB") << Change{kAudio, "volume=-40dB:0:lavcresample=44100"} << -40 << false << 320 << 240;
        QTest::newRow("minus zero") << Change{kAudio, "volume=-0db:0:lavcresample=44100"} << 0 << false << 320 << 240;
        // Stored volumes beyond the slider give any number of dB; the gain
        // applied stops at what sound can carry.
        QTest::newRow("boost of 400 %") << Change{kAudio, "volume=+60db:0:lavcresample=44100"} << 60 << false << 320 << 240;
        QTest::newRow("cut of the lowest int") << Change{kAudio, "volume=-858993499db:0:lavcresample=44100"} << -96 << false << 320 << 240;
        QTest::newRow("boost past any int") << Change{kAudio, "volume=+99999999999999999999999db:0:lavcresample=44100"} << 96 << false << 320 << 240;
        QTest::newRow("pillarbox") << Change{kVideo, "scale=-3:240,harddup,expand=320:240"} << 0 << true << 320 << 240;
        QTest::newRow("letterbox") << Change{kVideo, "scale=640:-3,harddup,expand=640:272"} << 0 << true << 640 << 272;
        QTest::newRow("stretch") << Change{kVideo, "scale=784:288,harddup"} << 0 << false << 784 << 288;
    }

    void accepts()
    {
        QFETCH(Change, change);
        std::vector<std::string> args = ProgramVector();
        args[change.index] = change.value;
        const Arguments parsed = ParseArguments(args);
        QCOMPARE(parsed.kind, Arguments::Kind::Job);
        QFETCH(int, gain);
        QCOMPARE(parsed.job.gainDb, gain);
        QFETCH(bool, fitInside);
        QCOMPARE(parsed.job.fit == Fit::Inside, fitInside);
        QFETCH(int, width);
        QCOMPARE(parsed.job.width, width);
        QFETCH(int, height);
        QCOMPARE(parsed.job.height, height);
        QCOMPARE(parsed.job.videoKbps, 1000);
        QCOMPARE(parsed.job.audioKbps, 96);
        QCOMPARE(parsed.job.endSeconds, 9 * 3600LL);
        QCOMPARE(parsed.job.handle, 17);
    }

    // File names are taken whole, whatever they contain.
    void keepsAwkwardSourceNames_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("leading dash") << QStringLiteral("-o");
        QTest::newRow("help lookalike") << QStringLiteral("--help");
        QTest::newRow("quotes, dollar, spaces") << QStringLiteral("a \"b\" $HOME 'c'.avi");
        QTest::newRow("newline") << QStringLiteral("two\nlines.mpg");
    }

    void keepsAwkwardSourceNames()
    {
        QFETCH(QString, source);
        std::vector<std::string> args = ProgramVector();
        args[kSource] = source.toStdString();
        const Arguments parsed = ParseArguments(args);
        QCOMPARE(parsed.kind, Arguments::Kind::Job);
        QCOMPARE(QString::fromStdString(parsed.job.source), source);
    }

    void refuses_data()
    {
        QTest::addColumn<QList<int>>("removed");  // indexes dropped from the vector
        QTest::addColumn<Change>("change");
        QTest::addColumn<int>("reportMode");
        QTest::addColumn<int>("reportHandle");    // -2: none usable

        const QList<int> none;
        QTest::newRow("unknown option") << none << Change{1, "-out"} << 1 << 17;
        QTest::newRow("missing value") << QList<int>{4} << Change{kMode, "0"} << 0 << 17;
        QTest::newRow("bad bitrate") << none << Change{kCodecs, "aglobal=1:vglobal=1:vcodec=mpeg4:vbitrate=fast:vhq:acodec=aac:abitrate=96"} << 1 << 17;
        QTest::newRow("other codec") << none << Change{kCodecs, "aglobal=1:vglobal=1:vcodec=h264:vbitrate=1000:vhq:acodec=aac:abitrate=96"} << 1 << 17;
        QTest::newRow("mode 2") << none << Change{kMode, "2"} << 0 << 17;
        QTest::newRow("handle not a number") << none << Change{kHandle, "x"} << 1 << -2;
        QTest::newRow("handle below -1") << none << Change{kHandle, "-2"} << 1 << -2;
        QTest::newRow("gain without digits") << none << Change{kAudio, "volume=+db:0:lavcresample=44100"} << 1 << 17;
        QTest::newRow("gain without sign") << none << Change{kAudio, "volume=10db:0:lavcresample=44100"} << 1 << 17;
        QTest::newRow("other sample rate") << none << Change{kAudio, "lavcresample=48000"} << 1 << 17;
        QTest::newRow("fit and frame disagree") << none << Change{kVideo, "scale=-3:240,harddup,expand=320:200"} << 1 << 17;
        QTest::newRow("odd width") << none << Change{kVideo, "scale=321:240,harddup"} << 1 << 17;
        QTest::newRow("trailing filter") << none << Change{kVideo, "scale=320:240,harddup,eq"} << 1 << 17;
        QTest::newRow("zero end position") << none << Change{kEnd, "0:0:0"} << 1 << 17;
        QTest::newRow("empty source") << none << Change{kSource, ""} << 1 << 17;
    }

    void refuses()
    {
        QFETCH(QList<int>, removed);
        QFETCH(Change, change);
        std::vector<std::string> args = ProgramVector();
        args[change.index] = change.value;
        for (int index : removed)
            args.erase(args.begin() + index);
        const Arguments parsed = ParseArguments(args);
        QCOMPARE(parsed.kind, Arguments::Kind::Refused);
        QVERIFY(!parsed.error.empty());
        QVERIFY(parsed.error.find('\n') == std::string::npos);
        QFETCH(int, reportMode);
        QCOMPARE(FinalCodeOf(parsed.reportMode), FinalCodeOf(reportMode));
        QFETCH(int, reportHandle);
        const int handle = reportHandle;
        QCOMPARE(parsed.reportHandleKnown, handle != -2);
        if (handle != -2)
            QCOMPARE(parsed.reportHandle, handle);
    }

    void helpAndVersionStandAlone()
    {
        QCOMPARE(ParseArguments({"--help"}).kind, Arguments::Kind::Help);
        QCOMPARE(ParseArguments({"--version"}).kind, Arguments::Kind::Version);
        QCOMPARE(ParseArguments({"--help", "x"}).kind, Arguments::Kind::Refused);
        QCOMPARE(ParseArguments({}).kind, Arguments::Kind::Refused);
    }

    void fitsPictures_data()
    {
        QTest::addColumn<Picture>("picture");
        QTest::addColumn<QSize>("display");
        QTest::addColumn<QSize>("fitted");  // inside 320x240

        QTest::newRow("wide") << Picture{640, 360, 1, 1, 0} << QSize(640, 360) << QSize(320, 180);
        QTest::newRow("tall") << Picture{480, 640, 0, 1, 0} << QSize(480, 640) << QSize(180, 240);
        QTest::newRow("same shape") << Picture{640, 480, 0, 1, 0} << QSize(640, 480) << QSize(320, 240);
        QTest::newRow("anamorphic PAL 16:9") << Picture{720, 576, 64, 45, 0} << QSize(1024, 576) << QSize(320, 180);
        QTest::newRow("odd size") << Picture{333, 199, 1, 1, 0} << QSize(333, 199) << QSize(320, 192);
        QTest::newRow("phone turned upright") << Picture{1280, 720, 1, 1, 90} << QSize(720, 1280) << QSize(136, 240);
        QTest::newRow("upside down") << Picture{1280, 720, 1, 1, 180} << QSize(1280, 720) << QSize(320, 180);
    }

    void fitsPictures()
    {
        QFETCH(Picture, picture);
        QFETCH(QSize, display);
        QFETCH(QSize, fitted);
        const Size shown = DisplaySizeOf(picture);
        QCOMPARE(QSize(shown.width, shown.height), display);
        const Size inside = FitInside(shown, 320, 240);
        QCOMPARE(QSize(inside.width, inside.height), fitted);
    }
};

QTEST_APPLESS_MAIN(TestMorlencArguments)
#include "tst_morlenc_arguments.moc"

// Conversions by the built encoder, checked with ffprobe: every container
// the program offers, and the sources that are hard to get right.

#include "engine/ConversionSettings.h"
#include "platform/EncoderContract.h"
#include "engine/Settings.h"
#include "tests/morlenc/MorlencRunner.h"
#include "tests/support/TestMedia.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using MorlencRunner::Options;

namespace {

QString S(const char *text)
{
    return QString::fromUtf8(text);
}

double Number(const QJsonObject &object, const char *key)
{
    return object.value(QLatin1String(key)).toString().toDouble();
}

double Rate(const QString &ratio)
{
    const QStringList parts = ratio.split(QLatin1Char('/'));
    const double den = parts.size() == 2 ? parts[1].toDouble() : 1.0;
    return den > 0 ? parts[0].toDouble() / den : 0.0;
}

// A stream's length, its own when given (Matroska keeps it in a tag as
// H:MM:SS.fraction), else the file's.
double Seconds(const QJsonObject &probe, const QString &codecType)
{
    const QJsonObject stream = TestMedia::StreamOf(probe, codecType);
    const double own = Number(stream, "duration");
    if (own > 0)
        return own;
    const QStringList tag = stream.value(QStringLiteral("tags")).toObject()
                                .value(QStringLiteral("DURATION")).toString().split(QLatin1Char(':'));
    if (tag.size() == 3)
        return tag[0].toDouble() * 3600 + tag[1].toDouble() * 60 + tag[2].toDouble();
    return Number(probe.value(QStringLiteral("format")).toObject(), "duration");
}

double VideoSeconds(const QJsonObject &probe)
{
    return Seconds(probe, QStringLiteral("video"));
}

// Mean and peak level of the sound, in dB, from ffmpeg's volumedetect.
QPair<double, double> Loudness(const QString &path)
{
    QByteArray errors;
    TestMedia::Run(QStringLiteral("ffmpeg"),
                   {QStringLiteral("-hide_banner"), QStringLiteral("-i"), path,
                    QStringLiteral("-vn"), QStringLiteral("-af"), QStringLiteral("volumedetect"),
                    QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")},
                   nullptr, &errors);
    const QString text = QString::fromLocal8Bit(errors);
    const auto level = [&text](const QString &name) {
        const QRegularExpression pattern(name + QStringLiteral(": (-?[0-9.]+) dB"));
        return pattern.match(text).captured(1).toDouble();
    };
    return {level(QStringLiteral("mean_volume")), level(QStringLiteral("max_volume"))};
}

// Loudness of a stretch of the file's sound.
double MeanLevel(const QString &path, double from, double seconds)
{
    QByteArray errors;
    TestMedia::Run(QStringLiteral("ffmpeg"),
                   {S("-hide_banner"), S("-ss"), QString::number(from), S("-t"), QString::number(seconds),
                    S("-i"), path, S("-vn"), S("-af"), S("volumedetect"), S("-f"), S("null"), S("-")},
                   nullptr, &errors);
    const QRegularExpression pattern(QStringLiteral("mean_volume: (-?[0-9.]+) dB"));
    const QRegularExpressionMatch match = pattern.match(QString::fromLocal8Bit(errors));
    return match.hasMatch() ? match.captured(1).toDouble() : -100.0;
}

// Where the silences of the file's sound end, in seconds.
QList<double> SilenceEnds(const QString &path)
{
    QByteArray errors;
    TestMedia::Run(QStringLiteral("ffmpeg"),
                   {S("-hide_banner"), S("-i"), path, S("-vn"), S("-af"), S("silencedetect=noise=-50dB:d=0.5"),
                    S("-f"), S("null"), S("-")},
                   nullptr, &errors);
    QList<double> ends;
    const QRegularExpression pattern(QStringLiteral("silence_end: ([0-9.]+)"));
    for (auto match = pattern.globalMatch(QString::fromLocal8Bit(errors)); match.hasNext();)
        ends << match.next().captured(1).toDouble();
    return ends;
}

// Luma PSNR of the first input against the second, as the graph compares
// them.
double PsnrY(const QStringList &inputs, const QString &graph)
{
    QByteArray errors;
    TestMedia::Run(QStringLiteral("ffmpeg"),
                   QStringList{S("-hide_banner")} + inputs
                       + QStringList{S("-lavfi"), graph, S("-f"), S("null"), S("-")},
                   nullptr, &errors);
    const QRegularExpression luma(QStringLiteral("PSNR y:([0-9.]+)"));
    return luma.match(QString::fromLocal8Bit(errors)).captured(1).toDouble();
}

// The black rows above the picture at that second of the file: its bars.
int BarRows(const QString &path, double at, int width, int height)
{
    QByteArray gray;
    TestMedia::Run(QStringLiteral("ffmpeg"),
                   {S("-v"), S("error"), S("-ss"), QString::number(at), S("-i"), path, S("-frames:v"), S("1"),
                    S("-f"), S("rawvideo"), S("-pix_fmt"), S("gray"), S("-")},
                   &gray);
    if (gray.size() != width * height)
        return -1;
    int rows = 0;
    for (; rows < height; ++rows) {
        long long sum = 0;
        for (int x = 0; x < width; ++x)
            sum += static_cast<unsigned char>(gray[rows * width + x]);
        if (sum / width > 24)
            break;
    }
    return rows;
}

} // namespace

class TestMorlencConvert : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString PathOf(const QString &name) const { return m_dir.filePath(name); }

    // Makes the source, converts it, checks what the player needs and
    // returns ffprobe's view of the output.
    QJsonObject Convert(const TestMedia::VideoRecipe &recipe, const QString &renamed,
                        const Options &options, int width, int height)
    {
        QString source = recipe.path;
        const QString made = TestMedia::MakeVideo(recipe);
        if (!made.isEmpty()) {
            QTest::qFail(qPrintable(made), __FILE__, __LINE__);
            return {};
        }
        if (!renamed.isEmpty()) {
            source = PathOf(renamed);
            QFile::remove(source);
            QFile::rename(recipe.path, source);
        }
        const QString output = source + QStringLiteral(".out.mp4");
        const MorlencRunner::Result result = MorlencRunner::Run(
            MorlencRunner::Arguments(source, output, ENC_MODE_CONVERT, -1, options));
        if (result.exitCode != 0 || result.lines.isEmpty()
            || result.lines.last() != QByteArray("6 0")) {
            QTest::qFail(qPrintable(QStringLiteral("conversion failed (%1): %2 %3")
                                        .arg(result.exitCode)
                                        .arg(QString::fromLatin1(result.lines.join(' ')),
                                             QString::fromLocal8Bit(result.errors))),
                         __FILE__, __LINE__);
            return {};
        }
        if (!QDir(m_dir.path()).entryList({QStringLiteral(".morlenc-*")}, QDir::Files | QDir::Hidden).isEmpty()) {
            QTest::qFail("the partial file was left behind", __FILE__, __LINE__);
            return {};
        }
        const QJsonObject sourceProbe = TestMedia::Probe(source);
        const QJsonObject probe = TestMedia::Probe(output);
        CheckPlayable(probe, width, height, recipe.audio);
        if (QTest::currentTestFailed())
            return {};

        // Within one frame-time of the source's picture, whichever rate is
        // coarser; a source without times lasts as long as it was made.
        const double sourceRate = Rate(TestMedia::StreamOf(sourceProbe, QStringLiteral("video"))
                                           .value(QStringLiteral("avg_frame_rate")).toString());
        const double frameTime = std::max(1001.0 / 30000.0, sourceRate > 0 ? 1.0 / sourceRate : 0.0);
        double expected = VideoSeconds(sourceProbe);
        if (expected <= 0)
            expected = recipe.seconds;
        const double got = VideoSeconds(probe);
        if (std::abs(got - expected) > frameTime + 0.001)
            QTest::qFail(qPrintable(QStringLiteral("picture lasts %1 s, the source's %2 s")
                                        .arg(got).arg(expected)),
                         __FILE__, __LINE__);
        // The sound keeps its length too, to within two AAC frames.
        if (recipe.audio) {
            const double sound = Seconds(probe, QStringLiteral("audio"));
            const double sourceSound = Seconds(sourceProbe, QStringLiteral("audio"));
            if (std::abs(sound - sourceSound) > 0.05)
                QTest::qFail(qPrintable(QStringLiteral("sound lasts %1 s, the source's %2 s")
                                            .arg(sound).arg(sourceSound)),
                             __FILE__, __LINE__);
        }
        return probe;
    }

    // What the player plays: MPEG-4 Simple Profile without B-frames under
    // the mp4v tag, 29.97 frames per second 4:2:0 with square pixels; AAC
    // LC 44100 Hz stereo starting with the picture.
    static void CheckPlayable(const QJsonObject &probe, int width, int height, bool withAudio)
    {
        const QJsonObject video = TestMedia::StreamOf(probe, QStringLiteral("video"));
        QCOMPARE(video.value(QStringLiteral("codec_name")).toString(), QStringLiteral("mpeg4"));
        QCOMPARE(video.value(QStringLiteral("profile")).toString(), QStringLiteral("Simple Profile"));
        QCOMPARE(video.value(QStringLiteral("has_b_frames")).toInt(), 0);
        QCOMPARE(video.value(QStringLiteral("codec_tag_string")).toString(), QStringLiteral("mp4v"));
        QCOMPARE(video.value(QStringLiteral("width")).toInt(), width);
        QCOMPARE(video.value(QStringLiteral("height")).toInt(), height);
        QCOMPARE(video.value(QStringLiteral("r_frame_rate")).toString(), QStringLiteral("30000/1001"));
        QCOMPARE(video.value(QStringLiteral("avg_frame_rate")).toString(), QStringLiteral("30000/1001"));
        QCOMPARE(video.value(QStringLiteral("pix_fmt")).toString(), QStringLiteral("yuv420p"));
        QCOMPARE(video.value(QStringLiteral("sample_aspect_ratio")).toString(), QStringLiteral("1:1"));

        const QJsonObject audio = TestMedia::StreamOf(probe, QStringLiteral("audio"));
        QCOMPARE(audio.isEmpty(), !withAudio);
        if (withAudio) {
            QCOMPARE(audio.value(QStringLiteral("codec_name")).toString(), QStringLiteral("aac"));
            QCOMPARE(audio.value(QStringLiteral("profile")).toString(), QStringLiteral("LC"));
            QCOMPARE(audio.value(QStringLiteral("sample_rate")).toString(), QStringLiteral("44100"));
            QCOMPARE(audio.value(QStringLiteral("channels")).toInt(), 2);
            QVERIFY(std::abs(Number(audio, "start_time") - Number(video, "start_time")) < 0.05);
        }
        const QString format = probe.value(QStringLiteral("format")).toObject()
                                   .value(QStringLiteral("format_name")).toString();
        QVERIFY(format.contains(QStringLiteral("mp4")));
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // Every container of the open-file filter that FFmpeg can write; the
    // others are such files under their other names.
    void containers_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("renamed");
        QTest::addColumn<QString>("fps");

        const auto list = [](const char *text) {
            return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        };
        QTest::newRow("avi") << S("a.avi") << list("-c:v mpeg4 -c:a libmp3lame") << S("") << S("25");
        QTest::newRow("mpg") << S("a.mpg") << list("-c:v mpeg1video -c:a mp2") << S("") << S("25");
        QTest::newRow("mpeg") << S("a.mpeg") << list("-c:v mpeg2video -c:a mp2") << S("") << S("30000/1001");
        QTest::newRow("dat") << S("a.dat") << list("-f mpeg -c:v mpeg1video -c:a mp2") << S("") << S("25");
        QTest::newRow("wmv") << S("a.wmv") << list("-c:v wmv2 -c:a wmav2") << S("") << S("25");
        QTest::newRow("asf") << S("a.asf") << list("-c:v msmpeg4v3 -c:a wmav1") << S("") << S("15");
        QTest::newRow("rm") << S("a.rm") << list("-c:v rv20 -c:a ac3") << S("") << S("25");
        QTest::newRow("mov") << S("a.mov") << list("-c:v libx264 -c:a aac") << S("") << S("24");
        QTest::newRow("3gp") << S("a.3gp") << list("-c:v h263 -s 176x144 -c:a aac -ar 22050") << S("") << S("15");
        QTest::newRow("3g2") << S("a.3g2") << list("-c:v mpeg4 -c:a aac") << S("") << S("15");
        QTest::newRow("mp4") << S("a.mp4") << list("-c:v libx264 -c:a aac") << S("") << S("30");
        QTest::newRow("m4v") << S("a.m4v") << list("") << S("") << S("25");
        QTest::newRow("flv") << S("a.flv") << list("-c:v flv1 -c:a libmp3lame") << S("") << S("25");
        QTest::newRow("divx") << S("b.avi") << list("-c:v mpeg4 -vtag DIVX -c:a libmp3lame") << S("b.divx") << S("25");
        QTest::newRow("div") << S("c.avi") << list("-c:v mpeg4 -c:a libmp3lame") << S("c.div") << S("25");
        QTest::newRow("xvid") << S("d.avi") << list("-c:v libxvid -c:a libmp3lame") << S("d.xvid") << S("25");
        QTest::newRow("qt") << S("b.mov") << list("-c:v mpeg4 -c:a aac") << S("b.qt") << S("25");
        QTest::newRow("rmvb") << S("b.rm") << list("-c:v rv10 -c:a ac3") << S("b.rmvb") << S("25");
    }

    void containers()
    {
        QFETCH(QString, file);
        TestMedia::VideoRecipe recipe;
        recipe.path = PathOf(file);
        QFETCH(QStringList, args);
        recipe.extraArgs = args;
        QFETCH(QString, fps);
        recipe.fps = fps;
        QFETCH(QString, renamed);
        Convert(recipe, renamed, Options{}, 320, 240);
    }

    // Sources whose picture, timing or sound needs care.
    void difficultSources_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("audio");
        QTest::addColumn<QString>("videoFilter");

        const QString fit = QStringLiteral("scale=320:-3,harddup,expand=320:240");
        const QString stretch = QStringLiteral("scale=480:360,harddup");
        const auto list = [](const char *text) {
            return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        };
        QTest::newRow("no audio") << S("n.avi") << QSize(320, 240) << list("-c:v mpeg4") << false << fit;
        QTest::newRow("odd size") << S("o.mp4") << QSize(333, 199) << list("-c:v libx264 -pix_fmt yuv444p -c:a aac") << true << fit;
        QTest::newRow("non-square pixels") << S("s.mpg") << QSize(720, 576) << list("-c:v mpeg2video -aspect 16:9 -c:a mp2") << true << fit;
        QTest::newRow("rotated phone video") << S("r.mp4") << QSize(320, 176) << list("-c:v libx264 -c:a aac") << true << fit;
        QTest::newRow("timestamps missing") << S("t.m4v") << QSize(320, 240) << list("-f m4v -c:v mpeg4") << false << stretch;
        QTest::newRow("5.1 sound") << S("c.mov") << QSize(320, 240) << list("-af pan=5.1|c0=c0|c1=c0|c2=c0|c3=c0|c4=c0|c5=c0 -c:v mpeg4 -c:a aac") << true << stretch;
        QTest::newRow("interlaced, too small to deinterlace") << S("i.ts") << QSize(8, 6) << list("-vf interlace -c:v mpeg2video -flags +ilme+ildct -c:a mp2") << true << stretch;
    }

    void difficultSources()
    {
        QFETCH(QString, file);
        QFETCH(QSize, size);
        TestMedia::VideoRecipe recipe;
        recipe.path = PathOf(file);
        recipe.width = size.width();
        recipe.height = size.height();
        QFETCH(bool, audio);
        recipe.audio = audio;
        QFETCH(QStringList, args);
        recipe.extraArgs = args;
        recipe.quarterTurn = file == S("r.mp4");
        Options options;
        QFETCH(QString, videoFilter);
        options.videoFilter = videoFilter;
        const bool stretched = options.videoFilter.startsWith(QStringLiteral("scale=480"));
        Convert(recipe, {}, options, stretched ? 480 : 320, stretched ? 360 : 240);
    }

    // A phone video comes out upright: compared with the ffmpeg command's
    // own turned picture, fitted the same way.
    void rotatedPictureIsUpright()
    {
        TestMedia::VideoRecipe recipe;
        recipe.path = PathOf(QStringLiteral("upright.mp4"));
        recipe.width = 320;
        recipe.height = 176;
        recipe.seconds = 1;
        recipe.fps = QStringLiteral("30000/1001");
        recipe.audio = false;
        recipe.extraArgs = QStringList{QStringLiteral("-c:v"), QStringLiteral("mpeg4"),
                                     QStringLiteral("-q:v"), QStringLiteral("2")};
        recipe.quarterTurn = true;
        Options options;
        options.videoFilter = QStringLiteral("scale=-3:240,harddup,expand=320:240");
        Convert(recipe, {}, options, 320, 240);
        const double psnr = PsnrY({S("-i"), recipe.path + S(".out.mp4"), S("-i"), recipe.path},
                                  S("[1:v]scale=132:240,pad=320:240:94:0,setsar=1[r];[0:v][r]psnr"));
        QVERIFY2(psnr > 25, qPrintable(QStringLiteral("PSNR %1 dB").arg(psnr)));
    }

    // Interlaced MPEG-2 made from a moving progressive original: every
    // output frame shows one moment of it, not two fields blended (a blend
    // scores some 35 dB against the original here). Each row: the
    // original, the filter that interlaces it, the container, the field
    // the stream says comes first (1 top, 0 bottom).
    void motionIsNotBlended_data()
    {
        QTest::addColumn<QString>("original");
        QTest::addColumn<QStringList>("making");
        QTest::addColumn<double>("floor");
        QTest::newRow("25i in TS") << S("testsrc2=size=720x576:rate=50:duration=2")
                                   << QStringList{S("interlace=scan=tff"), S("mpegts"), S("1")} << 41.0;
        QTest::newRow("29.97i in TS") << S("testsrc2=size=720x480:rate=60000/1001:duration=2")
                                      << QStringList{S("interlace=scan=tff"), S("mpegts"), S("1")} << 41.0;
        QTest::newRow("telecined film") << S("testsrc2=size=720x480:rate=24000/1001:duration=2")
                                        << QStringList{S("telecine"), S("vob"), S("1")} << 40.0;
        QTest::newRow("telecined film, bottom field first")
            << S("testsrc2=size=720x480:rate=24000/1001:duration=2")
            << QStringList{S("telecine=first_field=bottom"), S("vob"), S("0")} << 40.0;
    }
    void motionIsNotBlended()
    {
        QFETCH(QString, original);
        QFETCH(QStringList, making);
        const QString source = PathOf(S("interlaced.") + making[1]);
        QCOMPARE(TestMedia::Run(S("ffmpeg"), {S("-v"), S("error"), S("-y"), S("-f"), S("lavfi"), S("-i"), original,
                                               S("-vf"), making[0], S("-c:v"), S("mpeg2video"), S("-q:v"), S("2"),
                                               S("-flags"), S("+ilme+ildct"), S("-top"), making[2], S("-f"), making[1],
                                               source}),
                 0);
        const QString output = source + S(".mp4");
        QCOMPARE(MorlencRunner::Run(MorlencRunner::Arguments(source, output, ENC_MODE_CONVERT, -1)).exitCode, 0);
        CheckPlayable(TestMedia::Probe(output), 320, 240, false);
        const double psnr = PsnrY({S("-i"), output, S("-f"), S("lavfi"), S("-i"), original},
                                  S("[1:v]scale=320:240:flags=bicubic,fps=30000/1001[r];[0:v][r]psnr"));
        QFETCH(double, floor);
        QVERIFY2(psnr > floor, qPrintable(QStringLiteral("PSNR %1 dB").arg(psnr)));
    }

    // A downmix of loud surround sound must not clip.
    void loudSurroundIsNotClipped()
    {
        TestMedia::VideoRecipe recipe;
        recipe.path = PathOf(QStringLiteral("loud.mov"));
        recipe.seconds = 1;
        recipe.extraArgs = QStringList{QStringLiteral("-af"),
                                     QStringLiteral("volume=12dB,pan=5.1|c0=c0|c1=c0|c2=c0|c3=c0|c4=c0|c5=c0"),
                                     QStringLiteral("-c:v"), QStringLiteral("mpeg4"),
                                     QStringLiteral("-c:a"), QStringLiteral("pcm_s16le")};
        Convert(recipe, {}, Options{}, 320, 240);
        const double peak = Loudness(recipe.path + QStringLiteral(".out.mp4")).second;
        QVERIFY2(peak < -0.5, qPrintable(QStringLiteral("peak %1 dB").arg(peak)));
    }

    void volumeChangesLoudness_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<double>("change");
        QTest::newRow("cut 20 dB") << QStringLiteral("volume=-20db:0:lavcresample=44100") << -20.0;
        QTest::newRow("boost 10 dB") << QStringLiteral("volume=+10dB:0:lavcresample=44100") << 10.0;
    }

    void volumeChangesLoudness()
    {
        QFETCH(QString, filter);
        const QString source = PathOf(QStringLiteral("tone.avi"));
        TestMedia::VideoRecipe recipe;
        recipe.path = source;
        recipe.seconds = 1;
        recipe.extraArgs = QStringList{QStringLiteral("-c:v"), QStringLiteral("mpeg4"),
                                     QStringLiteral("-c:a"), QStringLiteral("pcm_s16le")};
        Convert(recipe, {}, Options{}, 320, 240);
        const double plain = Loudness(source + QStringLiteral(".out.mp4")).first;
        Options options;
        options.audioFilter = filter;
        Convert(recipe, {}, options, 320, 240);
        const double changed = Loudness(source + QStringLiteral(".out.mp4")).first;
        QFETCH(double, change);
        QVERIFY2(std::abs(changed - plain - change) < 1.0,
                 qPrintable(QStringLiteral("%1 dB, then %2 dB").arg(plain).arg(changed)));
    }

    // Volumes stored beyond the slider: the encoder takes the option string
    // the program builds and bounds the gain.
    void extremeVolumes_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<bool>("silent");
        QTest::newRow("400 %") << QStringLiteral("volume=+60db:0:lavcresample=44100") << false;
        QTest::newRow("the lowest int") << QStringLiteral("volume=-858993499db:0:lavcresample=44100") << true;
    }
    void extremeVolumes()
    {
        QFETCH(QString, filter);
        QFETCH(bool, silent);
        TestMedia::VideoRecipe recipe;
        recipe.path = PathOf(QStringLiteral("extreme.avi"));
        recipe.seconds = 1;
        recipe.extraArgs = QStringList{QStringLiteral("-c:v"), QStringLiteral("mpeg4")};
        Options options;
        options.audioFilter = filter;
        Convert(recipe, {}, options, 320, 240);
        const double peak = Loudness(recipe.path + QStringLiteral(".out.mp4")).second;
        // volumedetect's floor is -91 dB.
        QVERIFY2(silent ? peak <= -90 : peak > -1, qPrintable(QStringLiteral("peak %1 dB").arg(peak)));
    }

    // Recordings joined from parts whose picture changes shape at the join,
    // byte after byte as the recorder wrote them (the timelines of joins are
    // in timelines.py). Each part is "size[:aspect] rate channels offset
    // seconds"; bars are the black rows expected above each part's picture.
    void joinedRecordings_data()
    {
        QTest::addColumn<QString>("container");
        QTest::addColumn<QStringList>("parts");
        QTest::addColumn<QString>("videoFilter");
        QTest::addColumn<double>("length");
        QTest::addColumn<QList<int>>("bars");

        const QString fit = S("scale=320:-3,harddup,expand=320:240");
        const QString stretch = S("scale=320:240,harddup");
        QTest::newRow("16:9, then 4:3") << S("mpegts") << QStringList{S("320x180 48000 2 0 2"), S("320x240 48000 2 0 2")} << fit << 4.0 << QList<int>{30, 0};
        QTest::newRow("4:3, then 16:9") << S("mpegts") << QStringList{S("320x240 48000 2 0 2"), S("320x180 48000 2 0 2")} << fit << 4.0 << QList<int>{0, 30};
        QTest::newRow("4:3, then 16:9, stretched") << S("mpegts") << QStringList{S("320x240 48000 2 0 2"), S("320x180 48000 2 0 2")} << stretch << 4.0 << QList<int>{0, 0};
        QTest::newRow("size changes, shape kept") << S("mpegts") << QStringList{S("320x240 48000 2 0 2"), S("160x120 48000 2 0 2")} << fit << 4.0 << QList<int>{0, 0};
        QTest::newRow("pixel aspect switches") << S("mpegts") << QStringList{S("720x576:16/9 48000 2 0 2"), S("720x576:4/3 48000 2 2 2")} << fit << 4.0 << QList<int>{30, 0};
    }

    void joinedRecordings()
    {
        QFETCH(QString, container);
        QFETCH(QStringList, parts);
        const QString source = PathOf(S("joined.") + (container == S("mpeg") ? S("mpg") : S("ts")));
        QFile joined(source);
        QVERIFY(joined.open(QIODevice::WriteOnly));
        for (const QString &part : parts) {
            const QStringList p = part.split(QLatin1Char(' '));
            const QStringList shape = p[0].split(QLatin1Char(':'));
            QStringList args{S("-v"), S("error"), S("-y"), S("-f"), S("lavfi"), S("-i"),
                             S("testsrc=size=%1:rate=25:duration=%2").arg(shape[0], p[4]), S("-f"), S("lavfi"), S("-i"),
                             S("sine=frequency=440:sample_rate=%1:duration=%2").arg(p[1], p[4]), S("-ac"), p[2],
                             S("-c:v"), S("mpeg2video"), S("-c:a"), S("mp2"), S("-output_ts_offset"), p[3], S("-f"), container};
            if (shape.size() > 1)
                args << S("-aspect") << shape[1];
            const QString path = PathOf(S("part"));
            QCOMPARE(TestMedia::Run(S("ffmpeg"), args << path), 0);
            QFile piece(path);
            QVERIFY(piece.open(QIODevice::ReadOnly));
            joined.write(piece.readAll());
        }
        joined.close();

        QFETCH(QString, videoFilter);
        Options options;
        options.videoFilter = videoFilter;
        const QString output = PathOf(S("joined.mp4"));
        const auto result = MorlencRunner::Run(MorlencRunner::Arguments(source, output, ENC_MODE_CONVERT, -1, options));
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.lines.last(), QByteArray("6 0"));
        // The whole output, to within a few frames (a part whose sound
        // outlasts its picture by a frame leaves that much before the next);
        // its positions on the way, up to the last picture's.
        QFETCH(double, length);
        const QJsonObject probe = TestMedia::Probe(output);
        CheckPlayable(probe, 320, 240, true);
        const double picture = VideoSeconds(probe);
        QVERIFY2(std::abs(picture - length) <= 0.1, qPrintable(QStringLiteral("%1 s").arg(picture)));
        QVERIFY(std::abs(Seconds(probe, S("audio")) - picture) < 0.1);
        const QByteArray lastPosition = result.lines[result.lines.size() - 2];
        QVERIFY2(lastPosition.startsWith("5 ") && lastPosition.mid(2).toInt() == int(picture - 0.1),
                 lastPosition.constData());
        const auto probed = MorlencRunner::Run(MorlencRunner::Arguments(source, output, ENC_MODE_PROBE, -1));
        QCOMPARE(probed.lines.value(0), QByteArray("1 ") + QByteArray::number(qRound(length)));

        // Sound in every part, each part fitted by its own shape.
        QFETCH(QList<int>, bars);
        const double each = length / parts.size();
        for (int part = 0; part < parts.size(); ++part) {
            const double middle = each * (part + 0.5);
            const double level = MeanLevel(output, middle - 0.4, 0.8);
            QVERIFY2(level > -30, qPrintable(QStringLiteral("part %1: %2 dB").arg(part).arg(level)));
            QCOMPARE(BarRows(output, middle, 320, 240), bars[part]);
        }
    }

    // Sound that starts late or drops out: silence where it is missing, the
    // sound after it where it belongs. Each row: the sound's layout and the
    // stretches it has in a 6-second recording.
    void soundGaps_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("stretches");
        QTest::addColumn<double>("soundBack");  // where the last silence ends

        QTest::newRow("stereo, late") << S("stereo") << S("between(t,2,6)") << 2.0;
        QTest::newRow("5.1, late") << S("5.1") << S("between(t,2.5,6)") << 2.5;
        QTest::newRow("7.1, late") << S("7.1") << S("between(t,2,6)") << 2.0;
        QTest::newRow("stereo, drops out") << S("stereo") << S("between(t,0,1)+between(t,4,6)") << 4.0;
        QTest::newRow("7.1, drops out") << S("7.1") << S("between(t,0,1)+between(t,3.5,6)") << 3.5;
    }

    void soundGaps()
    {
        QFETCH(QString, layout);
        QFETCH(QString, stretches);
        TestMedia::VideoRecipe recipe;
        recipe.path = PathOf(S("gap.mkv"));
        recipe.seconds = 6;
        recipe.extraArgs = QStringList{S("-af"), S("aselect='%1',aformat=sample_rates=48000:channel_layouts=%2").arg(stretches, layout),
                                       S("-c:v"), S("mpeg4"), S("-c:a"), S("aac")};
        QCOMPARE(TestMedia::MakeVideo(recipe), QString());
        const QString output = PathOf(S("gap.mp4"));
        QCOMPARE(MorlencRunner::Run(MorlencRunner::Arguments(recipe.path, output, ENC_MODE_CONVERT, -1)).exitCode, 0);
        const QJsonObject probe = TestMedia::Probe(output);
        CheckPlayable(probe, 320, 240, true);
        QVERIFY(std::abs(VideoSeconds(probe) - 6) < 0.04);
        QVERIFY(std::abs(Seconds(probe, S("audio")) - 6) < 0.05);
        QFETCH(double, soundBack);
        const QList<double> ends = SilenceEnds(output);
        QVERIFY2(!ends.isEmpty() && std::abs(ends.last() - soundBack) < 0.06,
                 qPrintable(QStringLiteral("silences end at %1").arg(QString::number(ends.value(ends.size() - 1)))));
        // A tone in the centre speaker comes out of a surround downmix some
        // 13 dB down: well above silence all the same.
        QVERIFY(MeanLevel(output, soundBack + 0.2, 1) > -45);
    }

    // Each quality's bitrates reach the file: video within 10 %, sound
    // within 5 % of the quality's values, on six seconds of a busy picture
    // and noisy sound.
    void bitratesFollowTheQuality_data()
    {
        QTest::addColumn<int>("quality");
        for (int quality = 0; quality < Settings::QualityItems().size(); ++quality)
            QTest::addRow("%s", qPrintable(Settings::QualityItems()[quality].simplified())) << quality;
    }
    void bitratesFollowTheQuality()
    {
        const QString source = PathOf(QStringLiteral("busy.avi"));
        if (!QFile::exists(source)) {
            QCOMPARE(TestMedia::Run(
                         S("ffmpeg"),
                         {S("-v"), S("error"), S("-y"), S("-f"), S("lavfi"), S("-i"),
                          S("testsrc2=size=320x240:rate=30000/1001:duration=6"), S("-f"), S("lavfi"), S("-i"),
                          S("anoisesrc=duration=6:color=pink:sample_rate=44100:amplitude=0.3"), S("-vf"),
                          S("noise=alls=14:allf=t"), S("-c:v"), S("mpeg4"), S("-q:v"), S("1"), S("-c:a"),
                          S("pcm_s16le"), S("-ac"), S("2"), source}),
                     0);
        }
        ConversionSettings settings;
        QFETCH(int, quality);
        settings.quality = quality;
        Settings::ApplyQuality(settings);
        Options options;
        options.videoKbps = settings.videoBitrate;
        options.audioKbps = settings.audioBitrate;
        const QString output = PathOf(QStringLiteral("quality.mp4"));
        QCOMPARE(MorlencRunner::Run(MorlencRunner::Arguments(source, output, ENC_MODE_CONVERT, -1, options)).exitCode, 0);
        const QJsonObject probe = TestMedia::Probe(output);
        const double video = Number(TestMedia::StreamOf(probe, S("video")), "bit_rate") / 1000;
        const double audio = Number(TestMedia::StreamOf(probe, S("audio")), "bit_rate") / 1000;
        qInfo("quality %d: video %.0f of %d kbit/s, sound %.1f of %d kbit/s", quality, video,
              settings.videoBitrate, audio, settings.audioBitrate);
        QVERIFY2(std::abs(video / settings.videoBitrate - 1) <= 0.10, qPrintable(QString::number(video)));
        QVERIFY2(std::abs(audio / settings.audioBitrate - 1) <= 0.05, qPrintable(QString::number(audio)));
    }

    // The end position cuts the output.
    void endPositionCuts()
    {
        TestMedia::VideoRecipe recipe;
        recipe.path = PathOf(QStringLiteral("long.avi"));
        recipe.seconds = 3;
        recipe.extraArgs = QStringList{QStringLiteral("-c:v"), QStringLiteral("mpeg4")};
        QCOMPARE(TestMedia::MakeVideo(recipe), QString());
        Options options;
        options.end = QStringLiteral("0:0:1");
        const QString output = PathOf(QStringLiteral("cut.mp4"));
        const auto result = MorlencRunner::Run(
            MorlencRunner::Arguments(recipe.path, output, ENC_MODE_CONVERT, -1, options));
        QCOMPARE(result.exitCode, 0);
        QVERIFY(std::abs(VideoSeconds(TestMedia::Probe(output)) - 1.0) < 0.04);
    }

    // Damaged sources: what can be read is converted.
    void damagedSources_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("damage");
        QTest::addColumn<double>("minimumSeconds");
        QTest::newRow("truncated mpg") << S("cut.mpg") << S("truncate") << 1.0;
        QTest::newRow("truncated avi") << S("cut.avi") << S("truncate") << 1.0;
        QTest::newRow("garbage inside mpg") << S("bad.mpg") << S("overwrite") << 2.5;
        QTest::newRow("garbage inside avi") << S("bad.avi") << S("overwrite") << 2.5;
    }

    void damagedSources()
    {
        QFETCH(QString, file);
        QFETCH(QString, damage);
        TestMedia::VideoRecipe recipe;
        recipe.path = PathOf(file);
        recipe.seconds = 3;
        QCOMPARE(TestMedia::MakeVideo(recipe), QString());
        QFile media(recipe.path);
        QVERIFY(media.open(QIODevice::ReadWrite));
        const qint64 size = media.size();
        if (damage == QStringLiteral("truncate")) {
            QVERIFY(media.resize(size / 2));
        } else {
            // Three stretches of noise in the middle.
            for (int part = 1; part <= 3; ++part) {
                media.seek(size * part / 4);
                QByteArray noise(2000, '\0');
                for (qsizetype i = 0; i < noise.size(); ++i)
                    noise[i] = static_cast<char>((i * 7919 + part * 104729) % 251);
                media.write(noise);
            }
        }
        media.close();
        const QString output = PathOf(file + QStringLiteral(".mp4"));
        const auto result = MorlencRunner::Run(
            MorlencRunner::Arguments(recipe.path, output, ENC_MODE_CONVERT, -1));
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.lines.last(), QByteArray("6 0"));
        const QJsonObject probe = TestMedia::Probe(output);
        CheckPlayable(probe, 320, 240, true);
        QFETCH(double, minimumSeconds);
        QVERIFY2(VideoSeconds(probe) >= minimumSeconds,
                 qPrintable(QString::number(VideoSeconds(probe))));
    }
};

QTEST_GUILESS_MAIN(TestMorlencConvert)
#include "tst_morlenc_convert.moc"

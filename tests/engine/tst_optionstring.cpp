#include "engine/ConversionSettings.h"
#include "engine/OptionString.h"
#include "engine/Settings.h"
#include "morlenc/Arguments.h"
#include "platform/EncoderContract.h"
#include "platform/EncoderGrammar.h"

#include <QTest>

#include <climits>

namespace {

ConversionSettings Target320x240()
{
    ConversionSettings settings;
    settings.width = 320;
    settings.height = 240;
    settings.videoBitrate = 1000;
    settings.audioBitrate = 96;
    return settings;
}

} // namespace

class OptionStringTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void audioFilter_data()
    {
        QTest::addColumn<int>("volume");
        QTest::addColumn<QString>("filter");
        QTest::newRow("100 unchanged") << 100 << "lavcresample=44100";
        QTest::newRow("150 +10") << 150 << "volume=+10db:0:lavcresample=44100";
        QTest::newRow("200 +20") << 200 << "volume=+20db:0:lavcresample=44100";
        QTest::newRow("101 +0") << 101 << "volume=+0db:0:lavcresample=44100";
        QTest::newRow("104 +0") << 104 << "volume=+0db:0:lavcresample=44100";
        QTest::newRow("105 +1") << 105 << "volume=+1db:0:lavcresample=44100";
        QTest::newRow("99 -0") << 99 << "volume=-0db:0:lavcresample=44100";
        QTest::newRow("98 -0") << 98 << "volume=-0db:0:lavcresample=44100";
        QTest::newRow("97 -1") << 97 << "volume=-1db:0:lavcresample=44100";
        QTest::newRow("50 -20") << 50 << "volume=-20db:0:lavcresample=44100";
        QTest::newRow("0 -40") << 0 << "volume=-40db:0:lavcresample=44100";
        // Stored beyond the slider: the same rule, without overflow.
        QTest::newRow("400 +60") << 400 << "volume=+60db:0:lavcresample=44100";
        QTest::newRow("-10 -44") << -10 << "volume=-44db:0:lavcresample=44100";
        QTest::newRow("int max") << INT_MAX << "volume=+429496709db:0:lavcresample=44100";
        QTest::newRow("int min") << INT_MIN << "volume=-858993499db:0:lavcresample=44100";
    }
    void audioFilter()
    {
        QFETCH(int, volume);
        QTEST(AudioFilterFor(volume), "filter");
    }

    void scaling_data()
    {
        QTest::addColumn<int>("letterbox");
        QTest::addColumn<int>("sourceWidth");
        QTest::addColumn<int>("sourceHeight");
        QTest::addColumn<int>("horizontal");
        QTest::addColumn<int>("vertical");
        QTest::addColumn<QString>("filter");
        QTest::newRow("wide source: bars above and below")
            << 1 << 640 << 360 << -106 << 60 << "scale=320:-3,harddup,expand=320:240";
        QTest::newRow("tall source: bars at the sides")
            << 1 << 480 << 640 << 140 << -186 << "scale=-3:240,harddup,expand=320:240";
        // Letterbox on keeps the shape even without bars, so that a part of
        // another shape later in the file still gets its own.
        QTest::newRow("same shape: fitted, no bars")
            << 1 << 640 << 480 << 0 << 0 << "scale=320:-3,harddup,expand=320:240";
        QTest::newRow("letterbox off: stretch") << 0 << 640 << 360 << 0 << 0 << "scale=320:240,harddup";
        QTest::newRow("letterbox 2 counts as on")
            << 2 << 640 << 360 << -106 << 60 << "scale=320:-3,harddup,expand=320:240";
        QTest::newRow("width unknown") << 1 << 0 << 360 << 0 << 0 << "scale=320:-3,harddup,expand=320:240";
        QTest::newRow("negative size") << 1 << -640 << 480 << 0 << 0 << "scale=320:-3,harddup,expand=320:240";
        QTest::newRow("size unknown, letterbox off") << 0 << 0 << 0 << 0 << 0 << "scale=320:240,harddup";
        QTest::newRow("huge size does not overflow")
            << 1 << 2147483647 << 1 << -2147483647 - 1 << 240 << "scale=320:-3,harddup,expand=320:240";
    }
    void scaling()
    {
        QFETCH(int, letterbox);
        QFETCH(int, sourceWidth);
        QFETCH(int, sourceHeight);
        ConversionSettings settings = Target320x240();
        settings.letterbox = letterbox;
        const LetterboxMargins margins = ComputeLetterboxMargins(settings, sourceWidth, sourceHeight);
        QTEST(margins.horizontal, "horizontal");
        QTEST(margins.vertical, "vertical");
        QTEST(VideoFilterFor(margins, 320, 240), "filter");
    }

    // Whatever the settings hold, in range or not, the encoder takes the
    // command the program builds: every quality, size and way of fitting,
    // with volumes across the slider and stored beyond it.
    void everyCommandIsTakenByTheEncoder()
    {
        const QList<int> volumes{0, 1, 49, 50, 97, 98, 99, 100, 101, 104, 105, 150, 199, 200,
                                 -1, -10, 201, 400, INT_MIN, INT_MIN + 1, INT_MAX};
        const QList<LetterboxMargins> fits{{0, 0}, {40, -30}, {-30, 40}, {0, 0, true}};
        int taken = 0;
        for (int quality = -1; quality <= Settings::QualityItems().size(); ++quality) {
            for (int resolution = -1; resolution <= Settings::ResolutionItems().size(); ++resolution) {
                for (const LetterboxMargins &fit : fits) {
                    for (int volume : volumes) {
                        for (int mode : {ENC_MODE_CONVERT, ENC_MODE_PROBE}) {
                            ConversionSettings settings;
                            settings.quality = quality;
                            settings.resolution = resolution;
                            settings.volume = volume;
                            Settings::ApplyQuality(settings);
                            Settings::ApplyResolution(settings);
                            const EncoderCommand command = BuildEncoderCommand(
                                settings, "/v/a clip.avi", "/o/a clip.mp4", fit, mode, 17);
                            std::vector<std::string> arguments;
                            for (const QString &argument : command.arguments)
                                arguments.push_back(argument.toStdString());
                            const morlenc::Arguments parsed = morlenc::ParseArguments(arguments);
                            QVERIFY2(parsed.kind == morlenc::Arguments::Kind::Job,
                                     qPrintable(command.optionString + " -> " + QString::fromStdString(parsed.error)));
                            ++taken;
                        }
                    }
                }
            }
        }
        QCOMPARE(taken, 11 * 20 * 4 * 21 * 2);
    }

    void optionString_data()
    {
        QTest::addColumn<int>("codec");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("handle");
        QTest::addColumn<QString>("expected");
        const QString body = QStringLiteral(
            "\"/in/clip.avi\" -o \"/out/clip.mp4\" -ofps 30000/1001 -af lavcresample=44100 "
            "-vf scale=320:-3,harddup,expand=320:240 -of lavf -oac lavc -ovc lavc -ffourcc MP4V "
            "-lavcopts aglobal=1:vglobal=1:vcodec=mpeg4:vbitrate=1000:vhq:acodec=aac:abitrate=96 "
            "-lavfopts format=mp4:i_certify_that_my_video_stream_does_not_use_b_frames -endpos 9:0:0");
        QTest::newRow("conversion, MPEG4") << 0 << int(ENC_MODE_CONVERT) << 17 << body + QLatin1String(" 0 17");
        QTest::newRow("conversion, XviD still mpeg4") << 1 << int(ENC_MODE_CONVERT) << 17 << body + QLatin1String(" 0 17");
        QTest::newRow("conversion, H264 still mpeg4") << 2 << int(ENC_MODE_CONVERT) << 9 << body + QLatin1String(" 0 9");
        QTest::newRow("odd codec value still mpeg4") << -5 << int(ENC_MODE_CONVERT) << 9 << body + QLatin1String(" 0 9");
        QTest::newRow("probe") << 0 << int(ENC_MODE_PROBE) << 23 << body + QLatin1String(" 1 23");
        QTest::newRow("by hand") << 0 << int(ENC_MODE_PROBE) << -1 << body + QLatin1String(" 1 -1");
    }
    void optionString()
    {
        QFETCH(int, codec);
        QFETCH(int, mode);
        QFETCH(int, handle);
        ConversionSettings settings = Target320x240();
        settings.codec = codec;
        const EncoderCommand command =
            BuildEncoderCommand(settings, QStringLiteral("/in/clip.avi"), QStringLiteral("/out/clip.mp4"),
                                {-106, 60}, mode, handle);
        QTEST(command.optionString, "expected");
        QCOMPARE(command.arguments.size(), EncoderGrammar::kArgumentCount);
        QCOMPARE(command.arguments.mid(EncoderGrammar::kMode), (QStringList{QString::number(mode), QString::number(handle)}));
    }

    void hostilePathsStayWholeArguments_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("quotes") << "/v/a \"b\" c.avi";
        QTest::newRow("dollar and backtick") << "/v/$(rm -rf ~)`x`.avi";
        QTest::newRow("leading dash") << "-o.avi";
        QTest::newRow("newline") << "/v/two\nlines.avi";
        QTest::newRow("non-ascii") << QString::fromUtf8("/v/фильм 映画.avi");
        QTest::newRow("very long") << QStringLiteral("/v/") + QString(600, QLatin1Char('x')) + QStringLiteral(".avi");
    }
    void hostilePathsStayWholeArguments()
    {
        QFETCH(QString, source);
        const QString output = source + QStringLiteral(".mp4");
        const EncoderCommand command =
            BuildEncoderCommand(Target320x240(), source, output, {}, ENC_MODE_CONVERT, 5);
        QCOMPARE(command.arguments.at(EncoderGrammar::kSource), source);
        QCOMPARE(command.arguments.at(EncoderGrammar::kOutput), output);
        QCOMPARE(command.arguments.size(), EncoderGrammar::kArgumentCount);
    }

};

QTEST_GUILESS_MAIN(OptionStringTest)
#include "tst_optionstring.moc"

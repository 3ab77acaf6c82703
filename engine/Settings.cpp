#include "engine/Settings.h"

#include "engine/ConversionSettings.h"
#include "engine/JobCount.h"
#include "platform/Profile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>

#include <fcntl.h>
#include <unistd.h>

namespace {

struct Quality {
    const char *text;
    int videoBitrate;
    int audioBitrate;
};

// The runs of blanks line the bitrates up in the list. The best quality's
// 196 kbit/s, not the 192 its label shows, is what files have always had.
const std::array<Quality, 9> kQualities{{
    {"1.Lowest  Video:216kbps    Audio:32kbps", 216, 32},
    {"2.Lower   Video:384kbps    Audio:48kbps", 384, 48},
    {"3.Low     Video:512kbps    Audio:56kbps", 512, 56},
    {"4.Normal  Video:640kbps    Audio:64kbps", 640, 64},
    {"5.Medium  Video:768kbps    Audio:80kbps", 768, 80},
    {"6.Good    Video:1000kbps   Audio:96kbps", 1000, 96},
    {"7.Better  Video:1500kbps   Audio:128kbps", 1500, 128},
    {"8.High    Video:2000kbps   Audio:160kbps", 2000, 160},
    {"9.Best    Video:2500kbps   Audio:192kbps", 2500, 196},
}};

struct Resolution {
    int width;
    int height;
};

const std::array<Resolution, 18> kResolutions{{
    {160, 80}, {160, 120}, {288, 256}, {320, 160}, {320, 180}, {320, 240},
    {480, 240}, {480, 360}, {480, 480}, {576, 400}, {592, 384}, {624, 368},
    {640, 272}, {640, 352}, {672, 336}, {720, 320}, {752, 304}, {784, 288},
}};

// An index outside a table falls back to the row after the table's last,
// which each table defines separately.
constexpr Quality kOtherQuality{"", 1000, 96};
constexpr Resolution kOtherResolution{320, 240};

const QString kSource = QStringLiteral("Source");
// How many files are converted and probed at once. Written only once the
// person has set it: a file without it follows the machine's cores.
const QString kJobs = QStringLiteral("Simultaneous jobs");
const QString kDestinate = QStringLiteral("Destinate");

} // namespace

namespace Settings {

QStringList QualityItems()
{
    QStringList items;
    for (const Quality &quality : kQualities)
        items << QString::fromLatin1(quality.text);
    return items;
}

QStringList ResolutionItems()
{
    QStringList items;
    for (const Resolution &resolution : kResolutions)
        items << QStringLiteral("%1 x %2").arg(resolution.width).arg(resolution.height);
    return items;
}

void ApplyQuality(ConversionSettings &settings)
{
    const bool known = settings.quality >= 0 && settings.quality < int(kQualities.size());
    const Quality &quality = known ? kQualities[settings.quality] : kOtherQuality;
    settings.videoBitrate = quality.videoBitrate;
    settings.audioBitrate = quality.audioBitrate;
}

void ApplyResolution(ConversionSettings &settings)
{
    const bool known = settings.resolution >= 0 && settings.resolution < int(kResolutions.size());
    const Resolution &resolution = known ? kResolutions[settings.resolution] : kOtherResolution;
    settings.width = resolution.width;
    settings.height = resolution.height;
}

Files Files::Find(const QString &programFolder)
{
    Files files;
    files.version = programFolder + QLatin1String("version.ini");
    // An installed copy's folder belongs to the system, whoever runs it
    // (root can write there, but no package owns a file left there): the
    // person's own configuration folder takes the file instead. A copy
    // built in a source tree keeps its settings beside itself.
    const bool systemFolder = programFolder.startsWith(QLatin1String("/usr/"))
        || programFolder.startsWith(QLatin1String("/opt/"));
    // Asked of the system rather than tried with a file: a start should
    // leave nothing behind, not even for a moment.
    const bool writable =
        ::faccessat(AT_FDCWD, QFile::encodeName(programFolder).constData(), W_OK | X_OK, AT_EACCESS) == 0;
    if (!systemFolder && writable)
        files.options = programFolder + QLatin1String("option.ini");
    else
        files.options = QFileInfo(ApplicationProfilePath()).absolutePath() + QLatin1String("/kelvaro/option.ini");
    return files;
}

QString DefaultOutputFolder()
{
    return QDir::homePath() + QLatin1String("/ipod video/");
}

QString Load(ConversionSettings &settings, const Files &files)
{
    const QString version =
        GetProfileString(files.version, QStringLiteral("General"),
                         QStringLiteral("Version"), QStringLiteral("1.00"))
            .left(15);

    const ProfileFile options(files.options);
    const auto number = [&](const char *key, const char *defaultValue) {
        return ProfileTextToInt(options.Value(kSource, QString::fromLatin1(key),
                                              QString::fromLatin1(defaultValue)));
    };
    settings.codec = number("Video codec", "0");
    settings.quality = number("Output quality", "5");
    settings.resolution = number("Resolution", "5");
    settings.letterbox = number("Letterbox", "1");
    settings.volume = number("Volume", "100");
    settings.jobs = JobCount::FromText(options.Value(kSource, kJobs, QString()));
    settings.outputFolder =
        options.Value(kDestinate, QStringLiteral("Temporary folder"), DefaultOutputFolder());
    return version;
}

bool Save(const ConversionSettings &settings, const Files &files)
{
    ProfileFile options(files.options);
    bool ok = options.SetValue(kSource, QStringLiteral("Video codec"), QString::number(settings.codec));
    ok &= options.SetValue(kSource, QStringLiteral("Output quality"), QString::number(settings.quality));
    ok &= options.SetValue(kSource, QStringLiteral("Resolution"), QString::number(settings.resolution));
    ok &= options.SetValue(kSource, QStringLiteral("Letterbox"), QString::number(settings.letterbox));
    ok &= options.SetValue(kSource, QStringLiteral("Volume"), QString::number(settings.volume));
    if (settings.jobs > 0)
        ok &= options.SetValue(kSource, kJobs, QString::number(settings.jobs));
    // A folder whose name cannot be stored (a line break in it) keeps the
    // one stored before; the rest is still saved, and the caller told.
    ok &= options.SetValue(kDestinate, QStringLiteral("Temporary folder"), settings.outputFolder);
    return options.Save() && ok;
}

} // namespace Settings

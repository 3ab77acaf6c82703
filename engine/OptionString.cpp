#include "engine/OptionString.h"

#include "engine/ConversionSettings.h"
#include "platform/EncoderGrammar.h"

#include <algorithm>
#include <limits>

namespace {

namespace G = EncoderGrammar;

int ClampToInt(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

QString Word(const char *text)
{
    return QString::fromLatin1(text);
}

} // namespace

QString AudioFilterFor(int volume)
{
    const QString resample = Word(G::kResample);
    if (volume == 100)
        return resample;
    // In 64 bits: a volume stored near the int limits must not overflow.
    const long long v = volume;
    const QString gain = v > 100 ? QStringLiteral("+%1").arg((v - 100) / 5)
                                 : QStringLiteral("-%1").arg((100 - v) * 2 / 5);
    return Word(G::kVolume) + gain + Word(G::kVolumeUnit) + Word(G::kVolumeTail) + resample;
}

QString VideoFilterFor(const LetterboxMargins &margins, int width, int height)
{
    const QString W = QString::number(width);
    const QString H = QString::number(height);
    const QString keep = Word(G::kKeepShape);
    const QString expand = Word(G::kExpand) + W + QLatin1Char(':') + H;
    if (margins.horizontal > 0)
        return Word(G::kScale) + keep + QLatin1Char(':') + H + Word(G::kHarddup) + expand;
    if (margins.vertical > 0 || margins.keepShape)
        return Word(G::kScale) + W + QLatin1Char(':') + keep + Word(G::kHarddup) + expand;
    return Word(G::kScale) + W + QLatin1Char(':') + H + Word(G::kHarddup);
}

EncoderCommand BuildEncoderCommand(const ConversionSettings &settings, const QString &source,
                                   const QString &output, const LetterboxMargins &margins,
                                   int mode, int handle)
{
    EncoderCommand command;
    QStringList &arguments = command.arguments;
    arguments.resize(G::kArgumentCount);
    for (const G::FixedToken &fixed : G::kFixedTokens)
        arguments[fixed.place] = Word(fixed.text);
    arguments[G::kSource] = source;
    arguments[G::kOutput] = output;
    arguments[G::kAudioFilter] = AudioFilterFor(settings.volume);
    arguments[G::kVideoFilter] = VideoFilterFor(margins, settings.width, settings.height);
    // Every codec choice encodes MPEG-4: it is the one the player plays.
    arguments[G::kCodecOptions] = Word(G::kCodecHead) + QString::number(settings.videoBitrate)
        + Word(G::kCodecMiddle) + QString::number(settings.audioBitrate);
    arguments[G::kEndPosition] = Word(G::kNineHours);
    arguments[G::kMode] = QString::number(mode);
    arguments[G::kHandle] = QString::number(handle);

    // The option string shows the same pieces; the two paths are quoted as
    // the encoder would see them on a command line. It is never parsed.
    QStringList shown = arguments;
    const QChar quote = QLatin1Char('"');
    shown[G::kSource] = quote + source + quote;
    shown[G::kOutput] = quote + output + quote;
    command.optionString = shown.join(QLatin1Char(' '));
    return command;
}

LetterboxMargins ComputeLetterboxMargins(const ConversionSettings &settings, int sourceWidth,
                                         int sourceHeight)
{
    if (settings.letterbox == 0)
        return {};
    if (sourceWidth <= 0 || sourceHeight <= 0)
        return {0, 0, true};
    const long long w = sourceWidth;
    const long long h = sourceHeight;
    const long long W = settings.width;
    const long long H = settings.height;
    return {ClampToInt(W - (w * H) / h), ClampToInt(H - (h * W) / w), true};
}

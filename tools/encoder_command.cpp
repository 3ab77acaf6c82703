// Prints the encoder's argument vector, one argument per line, as the batch
// would start the encoder: scripts (the benchmarks, the package check) run
// `morlenc` with exactly what the program sends, without writing the
// grammar out again.
//
//   encoder_command SOURCE OUTPUT [--mode M] [--size WxH] [--source-size WxH]
//                   [--letterbox 0|1] [--volume N] [--kbps VIDEO:AUDIO]

#include "engine/ConversionSettings.h"
#include "engine/OptionString.h"

#include <QCoreApplication>
#include <QTextStream>

#include <optional>

namespace {

std::optional<std::pair<int, int>> Pair(const QString &text, QChar separator)
{
    const QStringList parts = text.split(separator);
    bool ok1 = false;
    bool ok2 = false;
    if (parts.size() != 2)
        return std::nullopt;
    const int first = parts[0].toInt(&ok1);
    const int second = parts[1].toInt(&ok2);
    if (!ok1 || !ok2)
        return std::nullopt;
    return std::make_pair(first, second);
}

int Usage(QTextStream &err)
{
    err << "usage: encoder_command SOURCE OUTPUT [--mode M] [--size WxH] [--source-size WxH]"
           " [--letterbox 0|1] [--volume N] [--kbps VIDEO:AUDIO]\n";
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList words = app.arguments().mid(1);

    ConversionSettings settings;
    int mode = 0;
    int sourceWidth = 0;
    int sourceHeight = 0;
    QStringList paths;
    while (!words.isEmpty()) {
        const QString word = words.takeFirst();
        if (!word.startsWith(QLatin1String("--"))) {
            paths << word;
            continue;
        }
        if (words.isEmpty())
            return Usage(err);
        const QString value = words.takeFirst();
        bool ok = true;
        std::optional<std::pair<int, int>> pair;
        if (word == QLatin1String("--mode")) {
            mode = value.toInt(&ok);
        } else if (word == QLatin1String("--letterbox")) {
            settings.letterbox = value.toInt(&ok);
        } else if (word == QLatin1String("--volume")) {
            settings.volume = value.toInt(&ok);
        } else if (word == QLatin1String("--size") && (pair = Pair(value, QLatin1Char('x')))) {
            std::tie(settings.width, settings.height) = *pair;
        } else if (word == QLatin1String("--source-size") && (pair = Pair(value, QLatin1Char('x')))) {
            std::tie(sourceWidth, sourceHeight) = *pair;
        } else if (word == QLatin1String("--kbps") && (pair = Pair(value, QLatin1Char(':')))) {
            std::tie(settings.videoBitrate, settings.audioBitrate) = *pair;
        } else {
            ok = false;
        }
        if (!ok)
            return Usage(err);
    }
    if (paths.size() != 2)
        return Usage(err);

    const LetterboxMargins margins = ComputeLetterboxMargins(settings, sourceWidth, sourceHeight);
    // -1: no channel; the encoder then writes its codes to standard output.
    const EncoderCommand command = BuildEncoderCommand(settings, paths[0], paths[1], margins, mode, -1);
    for (const QString &argument : command.arguments)
        out << argument << '\n';
    return 0;
}

#include "app/CommandLineOptions.h"

#include "engine/JobCount.h"
#include "engine/Settings.h"
#include "platform/FileNames.h"

namespace CommandLineOptions {
namespace {

CommandLine Refuse(const QString &why)
{
    CommandLine line;
    line.action = CommandLine::Action::Refuse;
    line.text = QStringLiteral("kelvaro: %1\nTry 'kelvaro --help' for more information.\n").arg(why);
    return line;
}

std::optional<int> Number(const QString &text, int lowest, int highest)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

// A position in the list of sizes (from 1), or the size itself ("320x240").
std::optional<int> Resolution(const QString &text)
{
    const QStringList items = Settings::ResolutionItems();
    if (const auto position = Number(text, 1, int(items.size())))
        return *position - 1;
    QString size = text;
    size.replace(QLatin1Char('X'), QLatin1Char('x'));
    for (int i = 0; i < items.size(); ++i) {
        if (QString(items[i]).remove(QLatin1Char(' ')) == size)
            return i;
    }
    return std::nullopt;
}

enum class Taken { Unknown, Bad, NotText, Ok };

// Reads the value of a --convert option.
Taken TakeValue(CommandLine &line, const QString &option, const QString &value)
{
    if (option == QLatin1String("--output")) {
        if (value.isEmpty())
            return Taken::Bad;
        // Folders are made and searched by name as text; bytes that are
        // not UTF-8 would name another folder.
        if (KeepsBytes(value))
            return Taken::NotText;
        line.outputFolder = value;
        return Taken::Ok;
    }
    std::optional<int> *setting = nullptr;
    std::optional<int> parsed;
    if (option == QLatin1String("--quality")) {
        setting = &line.quality;
        // As the window numbers them; the settings count from 0.
        if ((parsed = Number(value, 1, int(Settings::QualityItems().size()))))
            *parsed -= 1;
    } else if (option == QLatin1String("--resolution")) {
        setting = &line.resolution;
        parsed = Resolution(value);
    } else if (option == QLatin1String("--letterbox")) {
        setting = &line.letterbox;
        parsed = Number(value, 0, 1);
    } else if (option == QLatin1String("--volume")) {
        setting = &line.volume;
        parsed = Number(value, 0, 200);
    } else if (option == QLatin1String("--jobs")) {
        setting = &line.jobs;
        parsed = Number(value, 1, JobCount::kMost);
    } else {
        return Taken::Unknown;
    }
    *setting = parsed;
    return parsed ? Taken::Ok : Taken::Bad;
}

CommandLine ParseConvert(const QStringList &arguments)
{
    CommandLine line;
    line.action = CommandLine::Action::Convert;
    bool options = true;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (options && argument == QLatin1String("--")) {
            options = false;
        } else if (options && argument == QLatin1String("--convert")) {
            continue;
        } else if (options && argument.startsWith(QLatin1String("--"))) {
            QString option = argument;
            QString value;
            if (const qsizetype equals = argument.indexOf(QLatin1Char('=')); equals > 0) {
                option = argument.left(equals);
                value = argument.mid(equals + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                return Refuse(QStringLiteral("%1 needs a value").arg(option));
            }
            switch (TakeValue(line, option, value)) {
            case Taken::Unknown: return Refuse(QStringLiteral("unknown option %1").arg(option));
            case Taken::Bad: return Refuse(QStringLiteral("%1 cannot be \"%2\"").arg(option, ReadableFileName(value)));
            case Taken::NotText:
                return Refuse(QStringLiteral("the name given to %1 is not UTF-8 text (\"%2\"); the output folder "
                                             "needs a name that is")
                                  .arg(option, ReadableFileName(value)));
            case Taken::Ok: break;
            }
        } else {
            line.files << argument;
        }
    }
    if (line.files.isEmpty())
        return Refuse(QStringLiteral("--convert needs at least one video file"));
    return line;
}

} // namespace

CommandLine Parse(const QStringList &arguments)
{
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--"))
            break;
        CommandLine line;
        line.action = CommandLine::Action::Print;
        if (argument == QLatin1String("--version")) {
            line.text = VersionText();
            return line;
        }
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.text = HelpText();
            return line;
        }
    }
    if (arguments.contains(QLatin1String("--convert")))
        return ParseConvert(arguments);
    // Everything else is a file to add, or one of Qt's own options: the
    // window's application object sorts them out.
    return {};
}

QString VersionText()
{
    return QStringLiteral("kelvaro " KELVARO_VERSION "\n");
}

QString HelpText()
{
    QString sizes;
    const QStringList items = Settings::ResolutionItems();
    const QString indent = QStringLiteral("\n                   ");
    for (int i = 0; i < items.size(); ++i) {
        // Five to a line; the comma ends the line, so that the list still
        // reads right where the manual page joins the lines.
        const QString before = i == 0 ? indent : (i % 5 == 0 ? QLatin1Char(',') + indent : QStringLiteral(", "));
        sizes += before + QStringLiteral("%1 %2").arg(i + 1).arg(QString(items[i]).remove(QLatin1Char(' ')));
    }
    return QStringLiteral(
               "Usage: kelvaro [FILE]...\n"
               "  or:  kelvaro --convert [OPTION]... FILE...\n"
               "Converts video files into MP4 files that a portable media player plays:\n"
               "MPEG-4 video at 29.97 frames per second and AAC sound at 44100 Hz, in the\n"
               "picture size chosen, with black bars to keep the picture's shape if wanted.\n"
               "\n"
               "Without --convert the window opens, and the FILEs are added to its list as\n"
               "the Add button adds them; a name that finds no file is reported.\n"
               "\n"
               "With --convert the FILEs are converted without any window (no display is\n"
               "needed), with the settings the window would use, changed by the options\n"
               "below; the settings file is read, never written. Progress is shown on\n"
               "standard error as the progress window shows it (on a terminal one line\n"
               "rewritten in place; elsewhere a line at every 5 % or 30 seconds), with a\n"
               "line as each file begins and ends, then the final report. Ctrl+C stops\n"
               "the files being converted at once and removes what was written of them;\n"
               "files finished before are kept. A second Ctrl+C ends the program without\n"
               "waiting for that removal.\n"
               "\n"
               "  --quality N      output quality, 1 (lowest) to 9 (best), as the window\n"
               "                   lists them\n"
               "  --resolution N   picture size by its place in the window's list, or as\n"
               "                   WIDTHxHEIGHT:%1\n"
               "  --letterbox 0|1  1 keeps the picture's shape with black bars, 0 stretches it\n"
               "  --volume N       sound volume in percent, 0 to 200 (100 leaves it as it is)\n"
               "  --output FOLDER  the folder the MP4 files go to\n"
               "  --jobs N         files converted at once, 1 to 64 (default: one per\n"
               "                   processor core, or as the settings file says)\n"
               "  --help           display this help and exit\n"
               "  --version        output version information and exit\n"
               "\n"
               "Exit status: 0 when every file was converted whole, 1 otherwise (a file\n"
               "not converted, or cut at nine hours, or a stop), 2 for a bad command line.\n"
               "\n"
               "The settings are kept in option.ini in the program's folder, or, for an\n"
               "installed copy, in kelvaro/option.ini in the configuration folder\n"
               "($XDG_CONFIG_HOME, ~/.config when it is not set); Tip of the Day's place\n"
               "in kelvaro.ini there. The converting is done by morlenc(1), which lies\n"
               "beside the program.\n"
               "\n"
               "Home page: " KELVARO_HOME_PAGE_URL "\n")
        .arg(sizes);
}

} // namespace CommandLineOptions

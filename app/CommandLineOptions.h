#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What Kelvaro was asked on its command line. Without options it opens its
// window (with any files named added to the list); --help and --version are
// answered in the terminal; --convert FILE... converts without any window.
struct CommandLine {
    enum class Action {
        Window,   // open the window; `files` are added to the list
        Print,    // print `text` on standard output and end
        Refuse,   // print `text` on standard error and end with status 2
        Convert,  // convert `files` without a window
    };
    Action action = Action::Window;
    QString text;
    QStringList files;

    // --convert's changes to the settings of the option file, as the
    // settings hold them (quality and resolution count from 0 there).
    std::optional<int> quality;
    std::optional<int> resolution;
    std::optional<int> letterbox;
    std::optional<int> volume;
    std::optional<int> jobs;
    std::optional<QString> outputFolder;
};

namespace CommandLineOptions {

// `arguments` without the program's name.
CommandLine Parse(const QStringList &arguments);

QString HelpText();
QString VersionText();

} // namespace CommandLineOptions

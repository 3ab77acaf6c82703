#include "app/CommandLineOptions.h"

#include <string_view>

namespace CommandLineOptions {

std::string Answer(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--version")
            return "kelvaro " KELVARO_VERSION "\n";
        if (argument == "--help" || argument == "-h") {
            return "Usage: kelvaro [FILE]...\n"
                   "Converts video files into MP4 files that a portable media player plays:\n"
                   "MPEG-4 video at 29.97 frames per second and AAC sound at 44100 Hz, in the\n"
                   "picture size chosen, with black bars to keep the picture's shape if wanted.\n"
                   "\n"
                   "The FILEs are added to the list when the window opens, as the Add button\n"
                   "adds them; a name that finds no file is reported.\n"
                   "\n"
                   "  --help     display this help and exit\n"
                   "  --version  output version information and exit\n"
                   "\n"
                   "Qt's own options (-platform, -style, ...) are taken as well.\n"
                   "\n"
                   "The settings are kept in option.ini in the program's folder, or in\n"
                   "~/.config/kelvaro/option.ini when that folder cannot be written (as for an\n"
                   "installed copy); Tip of the Day's place in ~/.config/kelvaro.ini. The\n"
                   "converting is done by morlenc(1), which lies beside the program.\n"
                   "\n"
                   "Home page: " KELVARO_HOME_PAGE_URL "\n";
        }
    }
    return {};
}

} // namespace CommandLineOptions

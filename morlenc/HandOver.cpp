#include "morlenc/HandOver.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

#include <unistd.h>

namespace morlenc {

int HandOver(const char *name, char **argv)
{
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        program = "morlenc";  // no /proc: looked for in the current folder
    program.replace_filename(name);
    ::execv(program.c_str(), argv);
    std::cerr << "morlenc: cannot start " << program.string() << ": " << std::strerror(errno) << std::endl;
    return 1;
}

} // namespace morlenc

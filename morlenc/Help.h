#pragma once

#include <string>

namespace morlenc {

std::string HelpText();
std::string VersionText();

} // namespace morlenc

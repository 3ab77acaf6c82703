#pragma once

namespace morlenc {

// Replaces this process by the program `name` beside this program's own file
// (the file itself, not a link to it on PATH), with the same arguments: the
// process, its channel and its signals stay the same. Returns only when that
// program could not be started, with the exit status to end with.
int HandOver(const char *name, char **argv);

} // namespace morlenc

#pragma once

#include "morlenc/Arguments.h"
#include "morlenc/Channel.h"

namespace morlenc {

// Sends duration, width and height of the job's source. Opening and stream
// analysis only: nothing is decoded beyond what the analysis needs. Throws
// Failure; the final code is the caller's.
void RunProbe(const Job &job, Channel &channel);

} // namespace morlenc

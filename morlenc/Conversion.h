#pragma once

#include "morlenc/Arguments.h"
#include "morlenc/Channel.h"

namespace morlenc {

// Converts the job's source into the MP4 file at its output path, reporting
// the source position reached on the channel. Throws Failure or Stopped; in
// both cases no partial output is left. The final code is the caller's.
void RunConversion(const Job &job, Channel &channel);

} // namespace morlenc

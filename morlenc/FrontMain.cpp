// morlenc: the encoder's program, as people and the window program start it.
// A probe is mostly a program's start, which loading libraries dominates, and
// a conversion needs filter and scaling libraries a probe does not: so this
// program loads none and hands the job to the program made for it, beside it.
// Its own start costs a few milliseconds.

#include "morlenc/Arguments.h"
#include "morlenc/HandOver.h"
#include "platform/EncoderContract.h"

#include <string>
#include <vector>

int main(int argc, char **argv)
{
    using namespace morlenc;
    const Arguments arguments = ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
    const bool probe = arguments.kind == Arguments::Kind::Job && arguments.job.mode == ENC_MODE_PROBE;
    return HandOver(probe ? "morlenc-probe" : "morlenc-convert", argv);
}

#pragma once

// How long the conversion of a source will be, found without decoding it.
// The container's own figure is taken unless the streams plainly say
// otherwise: a header patched by a broken muxer, an empty lead-in that the
// conversion does not keep, a recording joined from parts whose timestamps
// start again (the figure then covers one part only).

#include "morlenc/Source.h"

namespace morlenc {

// Whole seconds, rounded; at least 1 for any non-empty source, 0 when
// unknown. Reads packets (their timestamps only) where the figure needs
// checking; the source is left wherever that reading stopped.
int DurationSeconds(Source &source);

} // namespace morlenc

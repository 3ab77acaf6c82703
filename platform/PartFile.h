#pragma once

// The encoder's sources still name TemporaryOutput by its former name; this
// goes once they use the new one.
#include "platform/TemporaryOutput.h"

namespace PartFile = TemporaryOutput;

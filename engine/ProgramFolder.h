#pragma once

#include <QString>

// The folder of the running program, with its trailing '/': the encoder, the
// tips, the help and the version file lie there.
QString GetProgramFolder();

// The encoder program in the program folder.
QString EncoderProgramPath();

#pragma once

#include "engine/OptionString.h"

class EncoderJob;
class QObject;
struct ConversionSettings;

// Starts one encoder job with the command for these settings; the job
// belongs to `owner` and reports through its signals. A job that cannot be
// started still reports its failure, from the event loop. `codecThreads`
// as for EncoderJob::Start.
EncoderJob *LaunchEncoder(const ConversionSettings &settings, const QString &source,
                          const QString &output, const LetterboxMargins &margins, int mode,
                          QObject *owner, int codecThreads = 0);

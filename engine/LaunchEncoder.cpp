#include "engine/LaunchEncoder.h"

#include "engine/EncoderJob.h"

EncoderJob *LaunchEncoder(const ConversionSettings &settings, const QString &source,
                          const QString &output, const LetterboxMargins &margins, int mode,
                          QObject *owner, int codecThreads)
{
    // The job fills in the handle: its channel does not exist yet.
    return EncoderJob::Start(mode, BuildEncoderCommand(settings, source, output, margins, mode, -1).arguments,
                             owner, codecThreads);
}

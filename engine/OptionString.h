#pragma once

#include <QString>
#include <QStringList>

struct ConversionSettings;

// How one encoder job is started: the argument vector handed to the encoder,
// and the same pieces as one option string (the source and output paths in
// double quotes), for display and for the record.
struct EncoderCommand {
    QStringList arguments;
    QString optionString;
};

struct LetterboxMargins {
    int horizontal = 0;  // > 0: bars left and right
    int vertical = 0;    // > 0: bars above and below
    // Letterbox is on: the picture keeps its shape even where neither margin
    // is positive (a source of the target's exact shape, or one whose size
    // the probe did not find). The encoder then fits every part of the
    // source by its own shape, so a recording that switches shape mid-way
    // keeps its bars right.
    bool keepShape = false;
};

// The audio filter for a volume in percent: +1 dB per 5 % above 100,
// -2 dB per 5 % below it; exactly 100 resamples only.
QString AudioFilterFor(int volume);

// The video filter: fit to the height with side bars, fit to the width with
// bars above and below (also when the shape is to be kept without bars), or
// stretch, by which margin is positive.
QString VideoFilterFor(const LetterboxMargins &margins, int width, int height);

EncoderCommand BuildEncoderCommand(const ConversionSettings &settings, const QString &source,
                                   const QString &output, const LetterboxMargins &margins,
                                   int mode, int handle);

// Margins for a source of the given probed size. Letterbox off gives the
// stretch form; a size the probe did not report gives no bars, but keeps
// the shape when letterbox is on.
LetterboxMargins ComputeLetterboxMargins(const ConversionSettings &settings, int sourceWidth,
                                         int sourceHeight);

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
};

// The audio filter for a volume in percent: +1 dB per 5 % above 100,
// -2 dB per 5 % below it; exactly 100 resamples only.
QString AudioFilterFor(int volume);

// The video filter: fit to the height with side bars, fit to the width with
// bars above and below, or stretch, by which margin is positive.
QString VideoFilterFor(const LetterboxMargins &margins, int width, int height);

EncoderCommand BuildEncoderCommand(const ConversionSettings &settings, const QString &source,
                                   const QString &output, const LetterboxMargins &margins,
                                   int mode, int handle);

// The output file of a source: the output folder (made absolute), the
// source's file name with "mp4" as its extension, or
// "<name>_<extension>.mp4" when that file exists.
QString BuildOutputPath(const ConversionSettings &settings, const QString &source);

// Margins for a source of the given probed size. Letterbox off, or a size the
// probe did not report, gives the stretch form (both 0).
LetterboxMargins ComputeLetterboxMargins(const ConversionSettings &settings, int sourceWidth,
                                         int sourceHeight);

// Creates the folder and every missing parent, outermost first, and makes it
// the current directory (encoders inherit it). 0 on success, -1 on failure.
int MakeFolder(const QString &path);

// The folder the program was started in, noted at the first call (made
// early at start-up). A relative output folder is taken from there, however
// often the current directory has changed since.
QString StartFolder();

// The output folder as an absolute path with its trailing '/'; an empty
// folder stays empty.
QString AbsoluteOutputFolder(const QString &folder);

// Removes from the folder the temporary files that encoders of this computer
// left when they were killed outright (see PartFile.h); with `onlyPid`, only
// that encoder's. Files of running encoders, of other computers, or on file
// systems without locks are left alone. Returns how many were removed.
int RemoveAbandonedPartFiles(const QString &folder, qint64 onlyPid = 0);

// The folder of the running program, with its trailing '/'.
QString GetProgramFolder();

// The encoder program in the program folder.
QString EncoderProgramPath();

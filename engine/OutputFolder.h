#pragma once

#include <QString>
#include <QStringList>

struct ConversionSettings;

// The output file of a source: the output folder (made absolute), the
// source's file name with "mp4" as its extension, or
// "<name>_<extension>.mp4" when that file exists or is one of `taken`
// (files being made, which do not exist yet).
QString BuildOutputPath(const ConversionSettings &settings, const QString &source,
                        const QStringList &taken = {});

// The output folder as typed becomes the setting and is made (MakeFolder).
// Returns it as an absolute path, or, when it cannot be made, an empty
// string after "Fail to create tmp folder ..." has been shown.
QString PrepareOutputFolder(ConversionSettings &settings, const QString &folderField);

// Creates the folder and every missing parent, outermost first, and makes it
// the current directory (encoders inherit it). 0 on success, -1 on failure.
int MakeFolder(const QString &path);

// The folder the program was started in, noted at the first call (made
// early at start-up). A relative output folder is taken from there, however
// often the current directory has changed since.
QString StartFolder();

// The output folder as an absolute path with its trailing '/': a leading
// "~/" is the home folder, as in every shell and file chooser, and a
// relative folder lies in the start folder. An empty folder stays empty.
QString AbsoluteOutputFolder(const QString &folder);

#pragma once

#include <QString>
#include <QStringList>

struct ConversionSettings;

// The conversion settings as the person chooses them and as the option file
// keeps them between runs.
namespace Settings {

// The quality and resolution choices, as the combo boxes list them.
QStringList QualityItems();
QStringList ResolutionItems();

// Bitrates from `quality`, picture size from `resolution`; an index outside
// the table (including -1) gives the table's last row.
void ApplyQuality(ConversionSettings &settings);
void ApplyResolution(ConversionSettings &settings);

// Where the settings are kept. Found once per run, so that they are written
// where they were read even if the program folder's state changes meanwhile.
struct Files {
    QString options;  // option.ini
    QString version;  // version.ini, read only

    // "option.ini" in the program folder, or in the person's configuration
    // folder ("kelvaro/" in it) for an installed copy: one whose program
    // folder lies under /usr or /opt, or cannot be written. "version.ini"
    // is always in the program folder.
    static Files Find(const QString &programFolder);
};

// The folder used when the option file names none.
QString DefaultOutputFolder();

// Reads the option file into the settings (values taken as found, derived
// fields left alone) and returns the version text ("1.00" when absent).
QString Load(ConversionSettings &settings, const Files &files);

// Writes the option file in one atomic replacement; false if it could not
// be written (the old file then stays as it was).
bool Save(const ConversionSettings &settings, const Files &files);

} // namespace Settings

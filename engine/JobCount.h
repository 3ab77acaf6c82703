#pragma once

class QString;

struct ConversionSettings;

// How many encoder jobs run at once, for conversions and for probes.
namespace JobCount {

// The most a setting may ask for.
constexpr int kMost = 64;

// One job keeps about one core busy, so by default there is one per core.
int Default();

// A count as given in the option file or on the command line: a whole
// number from 1 to kMost, or nothing, which means the default.
int FromText(const QString &text);

// The count the settings ask for: their own when they name one (1 to
// kMost), otherwise the default.
int Of(const ConversionSettings &settings);

} // namespace JobCount

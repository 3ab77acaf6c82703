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

// The threads each decoder and encoder of a job may use when `jobs` run at
// once on `cores` cores: their share of the cores, for threads that wait
// for each other cost processor time another job could use; 0 (as many as
// the libraries like) when a job runs alone.
int CodecThreads(int jobs, int cores = Default());

} // namespace JobCount

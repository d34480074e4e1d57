// The configuration step: run once while the library loads, and only when
// Vexa.ini exists in the library directory.
#pragma once

#include <string>

#include "config/config_file.h"
#include "config/engine_settings.h"

namespace vexa {

inline constexpr const char* kConfigFileName = "Vexa.ini";
inline constexpr const char* kStopWordFileName = "Vexa_skip.lst";
inline constexpr const char* kTokenFileName = "Vexa_tkn.lst";
inline constexpr const char* kProcessWordExport = "ProcessWord";

// Reads the sections SoundEx and Main into `settings`, then loads the
// filters of the section Filters and the word lists, in that order.
// `libraryDirectory` ends in a directory separator.
void ReadConfiguration(const TConfigFile& config, const std::string& libraryDirectory, TEngineSettings& settings);

// Loads the library of each key name of the section Filters that exports
// ProcessWord into `filters`, in file order; others are skipped silently.
void LoadFilters(const TConfigFile& config, const std::string& libraryDirectory, TFilterList& filters);

// Where the library a key name of the section Filters stands for is looked
// for: a full path as it stands, any other name by its file-name part in the
// library directory. Empty when the name has no file-name part.
std::string FilterLibraryPath(const std::string& name, const std::string& libraryDirectory);

// Reads the stop-word and token lists beside the library and builds the word
// lookup table over them. A list file that exists but cannot be read ends the
// step there, with no table.
void LoadWordLists(const std::string& libraryDirectory, TWordLookupTable& table);

}  // namespace vexa

// A module directory's configuration, read in this process the way the
// module reads it when it loads, and its filters loaded one by one, by
// name, so that each filter's part in a word can be shown.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "config/engine_settings.h"
#include "platform/platform.h"

namespace vexa::inspector {

// A key name of the section Filters and what became of it.
struct NamedFilter {
  std::string name;   // the key name in Vexa.ini
  std::string path;   // where the library was looked for
  vexa::platform::LibraryHandle library = nullptr;
  vexa::TProcessWordProc processWord = nullptr;  // null: skipped, as the module skips it
  std::string skippedBecause;                    // why, when skipped
};

class ModuleConfiguration {
 public:
  // `directory` ends in a directory separator.
  explicit ModuleConfiguration(const std::string& directory);
  ~ModuleConfiguration();
  ModuleConfiguration(const ModuleConfiguration&) = delete;
  ModuleConfiguration& operator=(const ModuleConfiguration&) = delete;

  // False: no Vexa.ini, the built-in settings stand and no list or filter is read.
  bool HasConfigFile() const { return hasConfigFile_; }
  const vexa::TEngineSettings& Settings() const { return *settings_; }
  const std::vector<NamedFilter>& Filters() const { return filters_; }

 private:
  bool hasConfigFile_ = false;
  std::unique_ptr<vexa::TEngineSettings> settings_;
  std::vector<NamedFilter> filters_;
};

// The word character set as ranges of bytes, e.g. "0..9 A..Z _ a..z".
std::string DescribeCharSet(const vexa::TCharSet& set);

}  // namespace vexa::inspector

#include "tools/vexa/module_configuration.h"

#include <cstdio>

#include "config/config_file.h"
#include "config/configuration.h"

namespace vexa::inspector {
namespace {

NamedFilter LoadNamedFilter(const std::string& name, const std::string& directory) {
  NamedFilter filter;
  filter.name = name;
  filter.path = vexa::FilterLibraryPath(name, directory);
  if (filter.path.empty()) {
    filter.skippedBecause = "no file name";
    return filter;
  }
  filter.library = vexa::platform::OpenLibrary(filter.path);
  if (filter.library == nullptr) {
    filter.skippedBecause = "cannot be loaded";
    return filter;
  }
  filter.processWord = reinterpret_cast<vexa::TProcessWordProc>(
      vexa::platform::LibrarySymbol(filter.library, vexa::kProcessWordExport));
  if (filter.processWord == nullptr) {
    vexa::platform::CloseLibrary(filter.library);
    filter.library = nullptr;
    filter.skippedBecause = "exports no ProcessWord";
  }
  return filter;
}

std::string ByteText(unsigned value) {
  if (value > 0x20 && value < 0x7F) return std::string(1, static_cast<char>(value));
  if (value >= 0x80) return std::string(1, static_cast<char>(value));
  char escaped[8];
  std::snprintf(escaped, sizeof escaped, "\\x%02X", value);
  return escaped;
}

}  // namespace

ModuleConfiguration::ModuleConfiguration(const std::string& directory)
    : settings_(std::make_unique<vexa::TEngineSettings>()) {
  const vexa::TConfigFile config(directory + vexa::kConfigFileName);
  hasConfigFile_ = vexa::platform::IsExistingFile(config.Path());
  if (!hasConfigFile_) return;
  vexa::ReadConfiguration(config, directory, *settings_);
  for (const std::string& name : config.GetKeyNames("Filters")) filters_.push_back(LoadNamedFilter(name, directory));
}

ModuleConfiguration::~ModuleConfiguration() {
  for (const NamedFilter& filter : filters_) vexa::platform::CloseLibrary(filter.library);
}

std::string DescribeCharSet(const vexa::TCharSet& set) {
  std::string ranges;
  for (unsigned value = 1; value < 256;) {
    if (!set.Contains(static_cast<unsigned char>(value))) {
      ++value;
      continue;
    }
    unsigned last = value;
    while (last + 1 < 256 && set.Contains(static_cast<unsigned char>(last + 1))) ++last;
    if (!ranges.empty()) ranges += ' ';
    ranges += ByteText(value);
    if (last > value) ranges += ".." + ByteText(last);
    value = last + 1;
  }
  return ranges.empty() ? "none" : ranges;
}

}  // namespace vexa::inspector

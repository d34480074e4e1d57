#include "bench/module_setup/module_layout.h"

#include "bench/module_setup/module_ini.h"

namespace vexa::bench {

vexa::support::ExtraFiles ModuleLayout::Files() const {
  using vexa::support::ExtraFile;
  vexa::support::ExtraFiles files{ExtraFile::Written(vexa::support::kIniFileName, iniText)};
  if (!stopWordList.empty()) files.push_back(ExtraFile::Written(vexa::support::kStopWordListFileName, stopWordList));
  if (!tokenList.empty()) files.push_back(ExtraFile::Written(vexa::support::kTokenListFileName, tokenList));
  for (const std::filesystem::path& library : filterLibraries) files.push_back(ExtraFile::Copy(library));
  return files;
}

const char* ConfigurationName(ModuleConfiguration configuration) {
  switch (configuration) {
    case ModuleConfiguration::kNoLists:
      return "NoLists";
    case ModuleConfiguration::kWordLists:
      return "WordLists";
    case ModuleConfiguration::kWordListsAndFilter:
      return "WordListsAndFilter";
  }
  return "?";
}

ModuleLayout LayoutFor(ModuleConfiguration configuration, const WordLists& lists,
                       const std::filesystem::path& filterLibrary) {
  ModuleLayout layout;
  if (configuration != ModuleConfiguration::kNoLists) {
    layout.stopWordList = ListFileText(lists.stopWords);
    layout.tokenList = ListFileText(lists.tokens);
  }
  std::vector<std::string> filterNames;
  if (configuration == ModuleConfiguration::kWordListsAndFilter) {
    layout.filterLibraries.push_back(filterLibrary);
    filterNames.push_back(filterLibrary.filename().string());
  }
  layout.iniText = Windows1251ModuleIni(filterNames);
  return layout;
}

ModuleLayout FilterOnlyLayout(const std::filesystem::path& filterLibrary) {
  ModuleLayout layout;
  layout.filterLibraries.push_back(filterLibrary);
  layout.iniText = Windows1251ModuleIni({filterLibrary.filename().string()});
  return layout;
}

}  // namespace vexa::bench

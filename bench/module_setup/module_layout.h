// What the benchmark lays beside a copy of the module, in each of the
// configurations it measures: the Vexa.ini of module_ini.h alone; with a
// stop-word and a token list; with the lists and the SuffixFilter plug-in.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "bench/corpus/corpus_word_lists.h"
#include "support/module_layout.h"

namespace vexa::bench {

struct ModuleLayout {
  std::string iniText;       // Vexa.ini
  std::string stopWordList;  // Vexa_skip.lst; no file when empty
  std::string tokenList;     // Vexa_tkn.lst; no file when empty
  // Copied beside the module under their own file names; iniText names them.
  std::vector<std::filesystem::path> filterLibraries;

  // The files laid beside the module: Vexa.ini, the lists that are not
  // empty, the filter libraries.
  vexa::support::ExtraFiles Files() const;
};

enum class ModuleConfiguration { kNoLists, kWordLists, kWordListsAndFilter };

inline constexpr ModuleConfiguration kAllConfigurations[] = {
    ModuleConfiguration::kNoLists, ModuleConfiguration::kWordLists, ModuleConfiguration::kWordListsAndFilter};

// NoLists, WordLists or WordListsAndFilter: the last part of a benchmark name.
const char* ConfigurationName(ModuleConfiguration configuration);

// The layout of `configuration`; `lists` and `filterLibrary` are used only
// where the configuration has them.
ModuleLayout LayoutFor(ModuleConfiguration configuration, const WordLists& lists,
                       const std::filesystem::path& filterLibrary);

// NoLists with `filterLibrary` named in the ini: what a filter alone costs.
ModuleLayout FilterOnlyLayout(const std::filesystem::path& filterLibrary);

}  // namespace vexa::bench

#include "bench/module_setup/module_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "bench/module_setup/module_ini.h"

namespace vexa::bench {
namespace {

const WordLists kLists{{"THE", "AND"}, {"TCP/IP", "LORD,"}};
const std::filesystem::path kFilter = "/some/where/SuffixFilter.so";

TEST(LayoutFor, NoListsIsTheIniAlone) {
  const ModuleLayout layout = LayoutFor(ModuleConfiguration::kNoLists, kLists, kFilter);
  EXPECT_EQ(layout.iniText, Windows1251ModuleIni({}));
  EXPECT_TRUE(layout.stopWordList.empty());
  EXPECT_TRUE(layout.tokenList.empty());
  EXPECT_TRUE(layout.filterLibraries.empty());
}

TEST(LayoutFor, WordListsAddsBothLists) {
  const ModuleLayout layout = LayoutFor(ModuleConfiguration::kWordLists, kLists, kFilter);
  EXPECT_EQ(layout.iniText, Windows1251ModuleIni({}));
  EXPECT_EQ(layout.stopWordList, "THE\nAND\n");
  EXPECT_EQ(layout.tokenList, "TCP/IP\nLORD,\n");
  EXPECT_TRUE(layout.filterLibraries.empty());
}

TEST(LayoutFor, WordListsAndFilterNamesTheFilterInTheIni) {
  const ModuleLayout layout = LayoutFor(ModuleConfiguration::kWordListsAndFilter, kLists, kFilter);
  EXPECT_EQ(layout.stopWordList, "THE\nAND\n");
  EXPECT_EQ(layout.tokenList, "TCP/IP\nLORD,\n");
  EXPECT_EQ(layout.filterLibraries, (std::vector<std::filesystem::path>{kFilter}));
  EXPECT_EQ(layout.iniText, Windows1251ModuleIni({"SuffixFilter.so"}));
}

TEST(FilterOnlyLayout, NamesTheFilterWithoutLists) {
  const ModuleLayout layout = FilterOnlyLayout(kFilter);
  EXPECT_TRUE(layout.stopWordList.empty());
  EXPECT_TRUE(layout.tokenList.empty());
  EXPECT_EQ(layout.filterLibraries, (std::vector<std::filesystem::path>{kFilter}));
  EXPECT_EQ(layout.iniText, Windows1251ModuleIni({"SuffixFilter.so"}));
}

TEST(ModuleLayoutFiles, AreTheIniTheListsThatAreNotEmptyAndTheFilters) {
  const auto names = [](const ModuleLayout& layout) {
    std::vector<std::string> laidOut;
    for (const vexa::support::ExtraFile& file : layout.Files()) laidOut.push_back(file.name);
    return laidOut;
  };
  EXPECT_EQ(names(LayoutFor(ModuleConfiguration::kNoLists, kLists, kFilter)), (std::vector<std::string>{"Vexa.ini"}));
  const ModuleLayout full = LayoutFor(ModuleConfiguration::kWordListsAndFilter, kLists, kFilter);
  EXPECT_EQ(names(full), (std::vector<std::string>{"Vexa.ini", "Vexa_skip.lst", "Vexa_tkn.lst", "SuffixFilter.so"}));
  EXPECT_EQ(full.Files().back().source, kFilter);
  EXPECT_EQ(full.Files()[1].contents, "THE\nAND\n");
}

TEST(Windows1251ModuleIni, ListsTheFiltersByFileNameAfterTheMainSection) {
  const std::string plain = Windows1251ModuleIni({});
  EXPECT_NE(plain.find("[Main]\nMinWordLen=2\n"), std::string::npos);
  EXPECT_EQ(plain.find("[Filters]"), std::string::npos);
  const std::string withFilters = Windows1251ModuleIni({"A.so", "B.so"});
  EXPECT_EQ(withFilters.substr(0, plain.size()), plain);
  EXPECT_EQ(withFilters.substr(plain.size()), "\n[Filters]\nA.so=\nB.so=\n");
}

TEST(ConfigurationName, NamesEachConfigurationApart) {
  std::set<std::string> names;
  for (const ModuleConfiguration configuration : kAllConfigurations) names.insert(ConfigurationName(configuration));
  EXPECT_EQ(names, (std::set<std::string>{"NoLists", "WordLists", "WordListsAndFilter"}));
}

}  // namespace
}  // namespace vexa::bench

// Configuration as the server meets it: Vexa.ini, the word lists and the
// filter plug-ins laid beside a copy of the module in a directory of its own,
// read when the module loads, and seen only through the exports.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "host_calls.h"
#include "loaded_module.h"
#include "support/host/loaded_objects.h"
#include "system_names.h"
#include "word_records.h"

namespace vexa::test {
namespace {

using Words = std::vector<std::string>;

ExtraFile Text(const std::string& name, const std::string& contents) { return ExtraFile::Written(name, contents); }

// The built filter library `stem`, and its file name.
std::filesystem::path BuiltFilter(const std::string& stem) {
  return std::filesystem::path(TEST_FILTER_DIRECTORY) / ModuleFileName(stem);
}
std::string FilterFile(const std::string& stem) { return ModuleFileName(stem); }

ExtraFile Filter(const std::string& library, const std::string& nameBesideModule = "") {
  return ExtraFile::Copy(BuiltFilter(library), nameBesideModule.empty() ? FilterFile(library) : nameBesideModule);
}

// A module loaded with `files` beside it, and the calls into it.
struct Configured {
  explicit Configured(const std::vector<ExtraFile>& files) : module(files), vexa(module.Exports()) {}
  Words Document(const std::string& text) const { return vexa.Split(text, ParserKind::kDocument); }
  Words Query(const std::string& text) const { return vexa.Split(text, ParserKind::kQuery); }
  LoadedModule module;
  HostCalls vexa;
};

constexpr const char* kExampleText = "The R&D and r&d code, TCP/IP or tcp/ip.";

TEST(ConfiguredModule, WorkedExampleWithStopWordsAndTokens) {
  const Configured c({Text("Vexa.ini", "[Main]\r\nMinWordLen=2\r\n"), Text("Vexa_skip.lst", "the\r\n"),
                      Text("Vexa_tkn.lst", "r&d\r\ntcp/ip\r\n")});
  const Words document{"R&D", "AND", "CODE", "TCP/IP", "OR", "TCP", "IP"};
  EXPECT_EQ(c.Document(kExampleText), document);
  EXPECT_EQ(WordRecords(document).size(), 51u);
  EXPECT_EQ(c.vexa.CrcOf(kExampleText, ParserKind::kDocument), 0xD6299858u);

  const Words query{"THE", "R&D", "AND", "R", "D", "CODE", "TCP/IP", "OR", "TCP", "IP"};
  EXPECT_EQ(c.Query(kExampleText), query);
  EXPECT_EQ(WordRecords(query).size(), 68u);
  EXPECT_EQ(c.vexa.CrcOf(kExampleText, ParserKind::kQuery), 0xF3778A61u);
}

TEST(ConfiguredModule, AnEmptyIniTakesTheFileDefaults) {
  const Configured c({Text("Vexa.ini", "")});
  EXPECT_EQ(c.Document("ab abc"), Words{"ABC"}) << "minimum word length 3";
  EXPECT_EQ(c.vexa.SoundEx("\xC8\xE2\xE0\xED\xEE\xE2"), 533328) << "no national letters: Cyrillic maps to nothing";
  EXPECT_EQ(c.vexa.SoundEx("Robert"), 874958);
}

TEST(ConfiguredModule, MainSectionAlone) {
  const Configured c({Text("Vexa.ini", "[Main]\nMinWordLen=5\n")});
  EXPECT_EQ(c.Document("four fives sixsix"), (Words{"FIVES", "SIXSIX"}));
  EXPECT_EQ(c.Query("four"), Words{"FOUR"});
}

TEST(ConfiguredModule, WordSetWithCyrillicLetters) {
  const Configured c({Text("Vexa.ini", "[Main]\nWordSet=A..Za..z\xA8\xB8\xC0..\xFF\n")});
  // "Ёжик и ёлка-2" in Windows-1251: digits are no word characters here.
  EXPECT_EQ(c.Document("\xA8\xE6\xE8\xEA \xE8 \xB8\xEB\xEA\xE0-2"), (Words{"\xA8\xC6\xC8\xCA", "\xA8\xCB\xCA\xC0"}));
}

TEST(ConfiguredModule, OwnNationalAndTranslationLetters) {
  const Configured c({Text("Vexa.ini", "[SoundEx]\nNationSet=\xC1\xC6\nTranslate=Bj\n")});
  EXPECT_EQ(c.vexa.SoundEx("\xC1\xC6\xC6\xC1\xC6\xC1"), 722519);
  EXPECT_EQ(c.vexa.SoundEx("\xC6\xC1"), 1114328);
}

TEST(ConfiguredModule, StopWordsInAnyCaseAndListLineEnds) {
  // LF CR makes an empty line between the words; it counts but is no word.
  const Configured c({Text("Vexa.ini", ""), Text("Vexa_skip.lst", "the\n\rand\n\r  of  \n"),
                      Text("Vexa_tkn.lst", std::string("c++\nnot\0read\n", 14))});
  EXPECT_EQ(c.Document("The THE tHe and AND of OF C++ read"), (Words{"C++", "READ"}));
  EXPECT_EQ(c.Query("tHe C++ Of"), (Words{"THE", "C++", "OF"}));
}

TEST(ConfiguredModule, AWordInBothListsIsAStopWord) {
  const Configured c({Text("Vexa.ini", ""), Text("Vexa_skip.lst", "net\n"), Text("Vexa_tkn.lst", "net\n.net\n")});
  EXPECT_EQ(c.Document("NET net dotnet"), Words{"DOTNET"});
}

TEST(ConfiguredModule, ADirectoryNamedVexaIniIsNoConfiguration) {
  LoadedModule probe;
  probe.Unload();
  std::filesystem::create_directory(probe.Directory() / "Vexa.ini");
  std::ofstream(probe.Directory() / "Vexa_skip.lst") << "the\n";
  probe.Load();
  const HostCalls vexa(probe.Exports());
  EXPECT_EQ(vexa.Split("the ab", ParserKind::kDocument), (Words{"THE", "AB"})) << "built-in settings stand";
}

// Filters ---------------------------------------------------------------

std::string FiltersIni(const std::vector<std::string>& names) {
  std::string ini = "[Main]\nMinWordLen=2\n[Filters]\n";
  for (const std::string& name : names) ini += name + "=\n";
  return ini;
}

TEST(ConfiguredFilters, RewriteEmptyAndLengthenInListOrder) {
  const Configured c({Text("Vexa.ini", FiltersIni({FilterFile("strip_final_s_filter"), FilterFile("lengthen_filter"),
                                                   FilterFile("drop_no_filter")})),
                      Filter("strip_final_s_filter"), Filter("drop_no_filter"), Filter("lengthen_filter")});
  EXPECT_EQ(c.Document("books nothing is"), (Words{"BOOK+more", "I+more"}))
      << "IS loses its S below the minimum length and is kept; NOTHING is emptied last";

  // Every filter is called, also after one has emptied the word.
  const Configured emptiedFirst(
      {Text("Vexa.ini", FiltersIni({FilterFile("drop_no_filter"), FilterFile("lengthen_filter")})),
       Filter("drop_no_filter"), Filter("lengthen_filter")});
  EXPECT_EQ(emptiedFirst.Document("nothing"), Words{"+more"});
}

TEST(ConfiguredFilters, EachFilterSeesWhatTheOneBeforeLeft) {
  const Configured forward(
      {Text("Vexa.ini", FiltersIni({FilterFile("lengthen_filter"), FilterFile("strip_final_s_filter")})),
       Filter("lengthen_filter"), Filter("strip_final_s_filter")});
  const Configured backward(
      {Text("Vexa.ini", FiltersIni({FilterFile("strip_final_s_filter"), FilterFile("lengthen_filter")})),
       Filter("lengthen_filter"), Filter("strip_final_s_filter")});
  EXPECT_EQ(forward.Document("books"), Words{"BOOKS+more"});
  EXPECT_EQ(backward.Document("books"), Words{"BOOK+more"});
}

TEST(ConfiguredFilters, StopWordsAndTokensPassNoFilter) {
  const Configured c({Text("Vexa.ini", FiltersIni({FilterFile("lengthen_filter")})), Filter("lengthen_filter"),
                      Text("Vexa_skip.lst", "the\n"), Text("Vexa_tkn.lst", "tcp/ip\nsets\n")});
  EXPECT_EQ(c.Query("the TCP/IP sets word"), (Words{"THE", "TCP/IP", "SETS", "WORD+more"}));
}

TEST(ConfiguredFilters, ALibraryWithoutProcessWordIsSkippedAndTheNextLoads) {
  const Configured c({Text("Vexa.ini", FiltersIni({FilterFile("missing"), FilterFile("without_process_word"),
                                                   FilterFile("strip_final_s_filter")})),
                      Filter("without_process_word"), Filter("strip_final_s_filter")});
  EXPECT_EQ(c.Document("books"), Words{"BOOK"});
}

TEST(ConfiguredFilters, OneLibraryUnderSeveralNamesIsCalledOncePerName) {
  std::vector<std::string> names{FilterFile("call_counting_filter")};
  for (const std::string& directory : DirectoriesReducedToTheModuleDirectory()) {
    names.push_back(directory + FilterFile("call_counting_filter"));
  }
  const Configured c({Text("Vexa.ini", FiltersIni(names)), Filter("call_counting_filter")});
  EXPECT_EQ(c.Document("word"), Words{"WORD" + std::string(names.size(), '*')})
      << "other directories reduce to the file name beside the module";
}

TEST(ConfiguredFilters, AFullPathIsUsedAsItStands) {
  const std::string fullPath = std::filesystem::canonical(BuiltFilter("strip_final_s_filter")).string();
  const Configured c({Text("Vexa.ini", FiltersIni({fullPath}))});
  EXPECT_EQ(c.Document("books"), Words{"BOOK"});
}

TEST(ConfiguredFilters, AFilterThatThrowsDropsOnlyThatWord) {
  const Configured c({Text("Vexa.ini", FiltersIni({FilterFile("throwing_filter")})), Filter("throwing_filter")});
  EXPECT_EQ(c.Document("good bad fine"), (Words{"#OOD", "#INE"}));
}

TEST(ConfiguredFilters, UnloadReleasesTheFilterLibraries) {
  const std::vector<ExtraFile> files{Text("Vexa.ini", FiltersIni({FilterFile("strip_final_s_filter")})),
                                     Filter("strip_final_s_filter")};
  for (int round = 0; round < 20; ++round) {
    Configured c(files);
    const std::int32_t handle = c.vexa.Create();  // left for the unload to destroy
    c.vexa.Add(handle, "books");
    ASSERT_EQ(c.Document("books"), Words{"BOOK"});
    const std::filesystem::path filterPath = c.module.Directory() / FilterFile("strip_final_s_filter");
    ASSERT_TRUE(vexa::host::IsMapped(filterPath)) << "round " << round;
    c.module.Unload();
    ASSERT_FALSE(vexa::host::IsMapped(filterPath)) << "round " << round;
  }
}

}  // namespace
}  // namespace vexa::test

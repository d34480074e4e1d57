// vexa_snowball named in Vexa.ini beside a copy of the module: the words the
// exports give back are the stems, upper-cased in Windows-1251. Texts are
// written here in UTF-8 and handed to the module in Windows-1251.
#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "host_calls.h"
#include "loaded_module.h"
#include "support/windows1251_utf8.h"
#include "word_records.h"

namespace vexa::test {
namespace {

using Words = std::vector<std::string>;

std::string Cp1251(const std::string& utf8) { return vexa::support::Utf8ToWindows1251(utf8); }
Words Cp1251(const Words& utf8) {
  Words words;
  for (const std::string& word : utf8) words.push_back(Cp1251(word));
  return words;
}
std::string Repeat(const std::string& part, std::size_t times) {
  std::string text;
  for (std::size_t i = 0; i < times; ++i) text += part;
  return text;
}

// Latin letters, digits, the underscore, the Russian letters, and the
// Ukrainian І і, which the Russian stemmer does not know.
std::string ModuleIni() {
  return "[Main]\nMinWordLen=2\nWordSet=A..Za..z0..9_" + Cp1251("ЁёІіА..я") + "\n[Filters]\nvexa_snowball.so=\n";
}

class SnowballFilter : public ::testing::Test {
 protected:
  Words Document(const std::string& utf8Text) const { return vexa_.Split(Cp1251(utf8Text), ParserKind::kDocument); }

  LoadedModule module_{
      {ExtraFile::Written("Vexa.ini", ModuleIni()), ExtraFile::Copy(SNOWBALL_FILTER_PATH, "vexa_snowball.so")}};
  HostCalls vexa_{module_.Exports()};
};

struct StemCase {
  const char* what;
  std::string text;  // UTF-8
  Words words;       // UTF-8
};

TEST_F(SnowballFilter, WordFormsShareOneStoredWord) {
  const StemCase cases[] = {
      {"English forms in any case", "connected Connecting CONNECTION connections", Words(4, "CONNECT")},
      {"English exceptions", "skies dying news", {"SKY", "DIE", "NEWS"}},
      {"Russian forms in any case", "программисты ПРОГРАММИСТА Программистов программистами",
       Words(4, "ПРОГРАММИСТ")},
      {"Ё and ё read as Е", "ёлка ЁЛКИ елками Ёжик", {"ЕЛК", "ЕЛК", "ЕЛК", "ЕЖИК"}},
      {"digits, underscores and mixed scripts stay", "abc123 snake_case helloМИР 2024 Xя",
       {"ABC123", "SNAKE_CASE", "HELLOМИР", "2024", "XЯ"}},
      {"Cyrillic outside the Russian alphabet stays", "іспити", {"ІСПИТИ"}},
  };
  for (const StemCase& c : cases) EXPECT_EQ(Document(c.text), Cp1251(c.words)) << c.what;
}

TEST_F(SnowballFilter, QueriesAreStemmedLikeDocuments) {
  EXPECT_EQ(vexa_.Split(Cp1251("Connecting ПРОГРАММИСТАМИ"), ParserKind::kQuery), Cp1251(Words{"CONNECT", "ПРОГРАММИСТ"}));
}

TEST_F(SnowballFilter, WordsOfTheWholeBufferAreStemmedInPlace) {
  // 255 bytes; the Russian word takes 510 bytes of UTF-8 on its way.
  // Parser_Next gives 31 bytes of a word: the stored word is read by its CRC.
  const std::string latin = Repeat("X", 245) + "CONNECTING";
  const std::string russian = Cp1251(Repeat("ПРОГРАММИСТ", 22) + "ПРОГРАММИСАМИ");
  const std::string unchanged = Cp1251(Repeat("ПРОГРАММИСТ", 23) + "ПР");
  const std::pair<std::string, std::string> cases[] = {
      {latin, latin.substr(0, 252)}, {russian, russian.substr(0, 252)}, {unchanged, unchanged}};
  for (const auto& [word, stem] : cases) {
    ASSERT_EQ(word.size(), 255u);
    EXPECT_EQ(vexa_.CrcOf(word, ParserKind::kDocument), StreamCrcOf({stem})) << word;
  }
}

TEST_F(SnowballFilter, ThreadsStemAtOnceWithStemmersOfTheirOwn) {
  const std::string text = Cp1251("Connections программистов ёлками generously xyz_1 ПРИВЕТСТВИЯ running");
  const Words expected = vexa_.Split(text, ParserKind::kDocument);
  ASSERT_EQ(expected, Cp1251(Words{"CONNECT", "ПРОГРАММИСТ", "ЕЛК", "GENEROUS", "XYZ_1", "ПРИВЕТСТВ", "RUN"}));

  std::atomic<int> mismatches{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&] {
      for (int round = 0; round < 1500; ++round) {
        if (vexa_.Split(text, ParserKind::kDocument) != expected) ++mismatches;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
}  // namespace vexa::test

#include "config/configuration.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "config/word_set.h"
#include "support/host/temp_directory.h"
#include "tests/unit/config/unreadable_file.h"

namespace vexa {
namespace {

class ConfigurationTest : public ::testing::Test {
 protected:
  TEngineSettings Read(const std::string& ini) {
    const TConfigFile config(Write("Vexa.ini", ini));
    TEngineSettings settings;
    ReadConfiguration(config, Dir(), settings);
    return settings;
  }
  // The directory with a separator at its end, as the library knows its own.
  std::string Dir() const { return (dir_.Path() / "").string(); }
  std::string Write(const std::string& name, const std::string& contents) const {
    return dir_.Write(name, contents).string();
  }
  vexa::host::TempDirectory dir_;
};

TEST_F(ConfigurationTest, AnEmptyFileGivesTheFileDefaultsNotTheBuiltInOnes) {
  const TEngineSettings settings = Read("");
  EXPECT_EQ(settings.minWordLength, 3);
  EXPECT_EQ(settings.wordCharacters, TCharSet::DefaultWordCharacters());
  EXPECT_EQ(settings.nationalLetters, "");
  EXPECT_EQ(settings.translationLetters, "");
  EXPECT_TRUE(settings.filters.IsEmpty());
  EXPECT_TRUE(settings.wordTable.IsEmpty());
}

TEST_F(ConfigurationTest, MinWordLenAsReadOrThree) {
  const struct {
    const char* value;
    std::int32_t minimum;
  } cases[] = {{"5", 5}, {"+5", 5}, {"-1", -1}, {"$10", 16}, {"x10", 16}, {"012", 12},
               {"2147483648", 3}, {"5a", 3}, {"0x", 3}, {"", 3}, {"  0", 0},
               // The reader strips white space only, not every control byte.
               {"\t7\t", 7}, {"\x01" "5", 3}};
  for (const auto& c : cases) {
    EXPECT_EQ(Read(std::string("[Main]\nMinWordLen=") + c.value + "\n").minWordLength, c.minimum) << c.value;
  }
}

TEST_F(ConfigurationTest, LetterStringsAreTrimmedAndCutToTheShorter) {
  const std::string forty = "\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1\xD2\xD3"
                            "\xD4\xD5\xD6\xD7\xD8\xD9\xDA\xDB\xDC\xDD\xDE\xDF\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7";
  const std::string translation33 = "ABVGDEEGZIIKLMNOPRSTUFHCHHHIAWAXY";
  TEngineSettings settings = Read("[SoundEx]\nNationSet=" + forty + "\nTranslate=" + translation33 + "\n");
  EXPECT_EQ(settings.nationalLetters, forty.substr(0, 33));
  EXPECT_EQ(settings.translationLetters, translation33);

  settings = Read("[SoundEx]\nNationSet=\xC0\xC1\xC2\n");
  EXPECT_EQ(settings.nationalLetters, "") << "without Translate both are empty";

  settings = Read("[SoundEx]\nNationSet=\"  \xC0 \xC1  \"\nTranslate=\"\tA B\t\"\n");
  EXPECT_EQ(settings.nationalLetters, "\xC0 \xC1") << "blanks around go, blanks inside stay";
  EXPECT_EQ(settings.translationLetters, "A B");
}

TEST_F(ConfigurationTest, WordSetReplacesTheBuiltInSet) {
  EXPECT_EQ(Read("[Main]\nWordSet=a..c..f\n").wordCharacters, ParseWordSet("abcdef"));
  EXPECT_EQ(Read("[Main]\nWordSet=\"   \"\n").wordCharacters, TCharSet::DefaultWordCharacters());
  EXPECT_EQ(Read("[Main]\nMinWordLen=5\n").wordCharacters, TCharSet::DefaultWordCharacters());
}

TEST_F(ConfigurationTest, WordListsAreReadBesideTheLibrary) {
  Write("Vexa_skip.lst", "the\r\nand\r\n");
  Write("Vexa_tkn.lst", "tcp/ip");
  const TEngineSettings settings = Read("");
  EXPECT_EQ(settings.wordTable.Words(), (std::vector<std::string>{"THE", "AND", "TCP/IP"}));
  EXPECT_EQ(settings.wordTable.LookupWord("TCP/IP", 6), wkToken);
  EXPECT_EQ(settings.wordTable.LookupWord("THE", 3), wkStop);
}

TEST_F(ConfigurationTest, ATokenListAloneHasNoStopWords) {
  Write("Vexa_tkn.lst", "c++\n");
  const TEngineSettings settings = Read("");
  EXPECT_EQ(settings.wordTable.LookupWord("C++", 3), wkToken);
}

TEST_F(ConfigurationTest, AListFileThatCannotBeReadEndsTheStepWithoutATable) {
  Write("Vexa_tkn.lst", "r&d\n");
  const vexa::test::UnreadableFile skipList(Dir() + "Vexa_skip.lst");
  EXPECT_TRUE(Read("").wordTable.IsEmpty());
}

TEST_F(ConfigurationTest, ADirectoryNamedLikeAListIsNoList) {
  std::filesystem::create_directory(Dir() + "Vexa_skip.lst");
  Write("Vexa_tkn.lst", "r&d\n");
  const TEngineSettings settings = Read("");
  EXPECT_EQ(settings.wordTable.Words(), std::vector<std::string>{"R&D"});
}

TEST_F(ConfigurationTest, FiltersThatCannotBeLoadedAreSkipped) {
  Write("notalibrary.so", "plain text");
  const TEngineSettings settings = Read("[Filters]\nmissing.so=\nnotalibrary.so=\n/nowhere/x.so=\n");
  EXPECT_TRUE(settings.filters.IsEmpty());
}

}  // namespace
}  // namespace vexa

#include "config/config_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/host/temp_directory.h"

namespace vexa {
namespace {

TEST(ConfigInteger, AcceptsDecimalAndHexadecimalWholeTexts) {
  const struct {
    const char* text;
    std::optional<std::int32_t> value;
  } cases[] = {
      {"5", 5},          {"+5", 5},         {"   5", 5},       {"-1", -1},
      {"$10", 16},       {"0x10", 16},      {"0X10", 16},      {"x10", 16},
      {"X10", 16},       {"012", 12},       {"0", 0},          {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},   {"FFFFFFFF", std::nullopt},
      {"$FFFFFFFF", -1}, {"0x7fffffff", 2147483647},             {"$100000000", std::nullopt},
      {"2147483648", std::nullopt},       {"-2147483649", std::nullopt},
      {"5a", std::nullopt},               {"0x", std::nullopt},  {"$", std::nullopt},
      {"-$10", std::nullopt},             {"+0x10", std::nullopt},
      {"", std::nullopt},                 {"5 ", std::nullopt},  {"\t5", std::nullopt},
      {"+", std::nullopt},                {"- 5", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseConfigInteger(c.text), c.value) << '"' << c.text << '"';
}

class ConfigFileTest : public ::testing::Test {
 protected:
  TConfigFile Ini(const std::string& contents) { return TConfigFile(Write("Vexa.ini", contents)); }
  // The directory with a separator at its end, as the library knows its own.
  std::string Dir() const { return (dir_.Path() / "").string(); }
  std::string Write(const std::string& name, const std::string& contents) const {
    return dir_.Write(name, contents).string();
  }
  vexa::host::TempDirectory dir_;
};

TEST_F(ConfigFileTest, ReadsValuesAsTheWindowsProfileFunctionsDo) {
  const TConfigFile ini = Ini(
      "; a comment\r\n"
      "[ main ]\r\n"
      "  minwordlen =  7  \r\n"
      "WordSet=\"a..z\"\n"
      "Quoted='x y'\n"
      "Half=\"x\n"
      "MinWordLen=9\n"
      ";Commented=1\n"
      "NoEquals\n"
      "[Other]\n"
      "Key=other\n"
      "[MAIN]\n"
      "Late=ignored\n");
  EXPECT_EQ(ini.GetString("Main", "MinWordLen", "d"), "7");
  EXPECT_EQ(ini.GetInteger("Main", "MinWordLen", 3), 7);
  EXPECT_EQ(ini.GetString("Main", "WordSet", "d"), "a..z");
  EXPECT_EQ(ini.GetString("Main", "Quoted", "d"), "x y");
  EXPECT_EQ(ini.GetString("Main", "Half", "d"), "\"x");
  EXPECT_EQ(ini.GetString("Main", "Commented", "d"), "d");
  EXPECT_EQ(ini.GetString("Main", "NoEquals", "d"), "d");
  EXPECT_EQ(ini.GetString("Main", "Late", "d"), "d") << "only the first section of a name counts";
  EXPECT_EQ(ini.GetString("Other", "Key", "d"), "other");
  EXPECT_EQ(ini.GetString("Missing", "Key", "d"), "d");
  EXPECT_EQ(ini.GetInteger("Main", "WordSet", 3), 3) << "not a number";
}

TEST_F(ConfigFileTest, AbsentFileGivesDefaults) {
  const TConfigFile ini(Dir() + "none.ini");
  EXPECT_EQ(ini.GetString("Main", "WordSet", "dflt"), "dflt");
  EXPECT_EQ(ini.GetInteger("Main", "MinWordLen", 3), 3);
  EXPECT_TRUE(ini.GetKeyNames("Filters").empty());
}

TEST_F(ConfigFileTest, LongValuesAreCutTo2047Bytes) {
  const std::string value(5000, 'v');
  const TConfigFile ini = Ini("[Main]\nWordSet=" + value + "\n");
  EXPECT_EQ(ini.GetString("Main", "WordSet", ""), value.substr(0, 2047));
}

TEST_F(ConfigFileTest, KeyNamesInFileOrderAndOnlyWholeNamesThatFit) {
  const TConfigFile ini = Ini("[Filters]\nstem.so=\n b.so = 1\n;c.so=\n[Other]\nd.so=\n");
  EXPECT_EQ(ini.GetKeyNames("filters"), (std::vector<std::string>{"stem.so", "b.so"}));
  EXPECT_TRUE(ini.GetKeyNames("Empty").empty());

  // 16,384 bytes hold the names, a zero byte after each, and a final zero.
  std::string many = "[Filters]\n";
  std::vector<std::string> fitting;
  std::size_t used = 1;
  for (int i = 0; used + 100 + 1 <= 16384; ++i) {
    std::string name = std::to_string(100000 + i) + std::string(94, 'n');
    many += name + "=\n";
    fitting.push_back(name);
    used += name.size() + 1;
  }
  many += std::string(300, 'c') + "=\n" + "after.so=\n";
  EXPECT_EQ(Ini(many).GetKeyNames("Filters"), fitting);
}

}  // namespace
}  // namespace vexa

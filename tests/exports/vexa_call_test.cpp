// tools/vexa_call, the command-line host: what it prints and how it fails.
#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "vexa_call_runner.h"
#include "word_records.h"

namespace vexa_test {
namespace {

using OutputLines = std::vector<std::string>;

std::string CrcLine(const std::vector<std::string>& words) {
  char line[32];
  std::snprintf(line, sizeof line, "crc %08X", static_cast<unsigned>(StreamCrcOf(words)));
  return line;
}

class VexaCallTest : public ::testing::Test {
 protected:
  VexaCallRunner vexaCall_;
};

TEST_F(VexaCallTest, SplitPrintsTheWordsThenTheCrcThenTheAllocator) {
  const ProcessResult result = vexaCall_.Run({"split", "The quick-brown fox"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  OutputLines lines = Lines(result.out);
  ASSERT_EQ(lines.size(), 6u) << result.out;
  EXPECT_EQ(lines.back().rfind("allocator: ", 0), 0u) << lines.back();
  lines.pop_back();
  EXPECT_EQ(lines, (OutputLines{"THE", "QUICK", "BROWN", "FOX", CrcLine({"THE", "QUICK", "BROWN", "FOX"})}));
}

TEST_F(VexaCallTest, SplitWithQueryKeepsOneLetterWords) {
  const ProcessResult result = vexaCall_.Run({"split", "--query", "a bc"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const OutputLines lines = Lines(result.out);
  ASSERT_GE(lines.size(), 3u) << result.out;
  EXPECT_EQ(lines[0], "A");
  EXPECT_EQ(lines[1], "BC");
  EXPECT_EQ(lines[2], CrcLine({"A", "BC"}));
}

TEST_F(VexaCallTest, SplitOfHexBytes) {
  const ProcessResult result = vexaCall_.Run({"split", "--hex", "C8E2 6162 2063"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const OutputLines lines = Lines(result.out);
  ASSERT_GE(lines.size(), 2u) << result.out;
  EXPECT_EQ(lines[0], "AB");
  EXPECT_EQ(lines[1], CrcLine({"AB"}));
}

TEST_F(VexaCallTest, SoundexPrintsOneCodePerWord) {
  const ProcessResult result = vexaCall_.Run({"soundex", "Rupert", "Lee", ""});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(Lines(result.out), (OutputLines{"874958", "813328", "533328"}));
}

TEST_F(VexaCallTest, SoundexOfHexBytes) {
  const ProcessResult result = vexaCall_.Run({"soundex", "--hex", "C8E2E0EDEEE2", "b8e6e8ea"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(Lines(result.out), (OutputLines{"784838", "745528"}));
}

struct UsageCase {
  const char* name;
  std::vector<std::string> arguments;
};

void PrintTo(const UsageCase& row, std::ostream* out) { *out << row.name; }

class VexaCallUsageTest : public ::testing::TestWithParam<UsageCase> {
 protected:
  VexaCallRunner vexaCall_;
};

TEST_P(VexaCallUsageTest, ExitsWithTwoAndPrintsNothingToStdout) {
  const ProcessResult result = vexaCall_.Run(GetParam().arguments);
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, VexaCallUsageTest,
    ::testing::Values(UsageCase{"NoCommand", {}}, UsageCase{"UnknownCommand", {"count", "x"}},
                      UsageCase{"SplitWithoutText", {"split"}}, UsageCase{"SplitWithTwoTexts", {"split", "a", "b"}},
                      UsageCase{"SoundexWithoutWord", {"soundex"}}, UsageCase{"QueryForSoundex", {"soundex", "--query", "x"}},
                      UsageCase{"OddHexDigits", {"split", "--hex", "ABC"}},
                      UsageCase{"NotHex", {"soundex", "--hex", "XY"}}),
    [](const ::testing::TestParamInfo<UsageCase>& row) { return row.param.name; });

TEST(VexaCallModuleTest, ModuleThatDoesNotLoadExitsWithOne) {
  const ProcessResult result = RunProcess({VEXA_CALL_PATH, "/nonexistent/Vexa.so", "soundex", "x"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find("/nonexistent/Vexa.so"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace vexa_test

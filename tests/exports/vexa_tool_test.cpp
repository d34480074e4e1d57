// tools/vexa_call, the command-line host: what it prints and how it fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "tools/temp_directory.h"
#include "vexa_call_runner.h"
#include "word_records.h"

namespace vexa_test {
namespace {

using OutputLines = std::vector<std::string>;

std::string HexOf(const std::string& bytes) {
  static const char* const kDigits = "0123456789ABCDEF";
  std::string hex;
  for (const char c : bytes) {
    hex += kDigits[static_cast<unsigned char>(c) >> 4];
    hex += kDigits[static_cast<unsigned char>(c) & 15];
  }
  return hex;
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

// A text of `words` words and some Cyrillic, long words and line ends.
std::string LongText(int words) {
  std::string text;
  for (int i = 0; i < words; ++i) {
    text += "word" + std::to_string(i) + (i % 7 == 0 ? " \xC8\xE2\xE0\xED, " : " ");
    if (i % 100 == 0) text += std::string(static_cast<std::size_t>(40 + i / 100), 'x') + "\r\n";
  }
  return text;
}

TEST_F(VexaCallTest, SplitOfAFileSplitsItsBytes) {
  const vexa_host::TempDirectory directory;
  // Short enough for a command line of hex digits.
  const std::string text = LongText(400);
  const std::filesystem::path file = directory.Write("text", text);
  const ProcessResult fromFile = vexaCall_.Run({"split", "--file", file.string()});
  ASSERT_EQ(fromFile.exitCode, 0) << fromFile.err;
  const OutputLines lines = Lines(fromFile.out);
  ASSERT_EQ(lines.size(), 400u + 4u + 2u) << "the words, the long ones, the CRC and the allocator";
  EXPECT_EQ(lines[0], "WORD0");
  EXPECT_EQ(lines[1], std::string(31, 'X')) << "Parser_Next gives 31 bytes of a 40-byte word";
  EXPECT_EQ(lines[2], "WORD1");

  const ProcessResult fromHex = vexaCall_.Run({"split", "--hex", HexOf(text)});
  ASSERT_EQ(fromHex.exitCode, 0) << fromHex.err;
  EXPECT_EQ(fromFile.out, fromHex.out);
}

TEST_F(VexaCallTest, SplitAsABlobGivesWhatParserAddGives) {
  const vexa_host::TempDirectory directory;
  // Longer than one segment of the largest size.
  const std::filesystem::path file = directory.Write("text", LongText(8000));
  const ProcessResult added = vexaCall_.Run({"split", "--query", "--file", file.string()});
  ASSERT_EQ(added.exitCode, 0) << added.err;
  for (const char* segment : {"1", "80", "65535"}) {
    const ProcessResult blob = vexaCall_.Run({"split", "--query", "--blob", segment, "--file", file.string()});
    ASSERT_EQ(blob.exitCode, 0) << blob.err;
    EXPECT_EQ(blob.out, added.out) << "segments of " << segment << " bytes";
  }
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
                      UsageCase{"NotHex", {"soundex", "--hex", "XY"}},
                      UsageCase{"BlobWithoutSize", {"split", "--blob"}},
                      UsageCase{"BlobOfZeroBytes", {"split", "--blob", "0", "x"}},
                      UsageCase{"BlobPastSixteenBits", {"split", "--blob", "65536", "x"}},
                      UsageCase{"BlobSizeNotANumber", {"split", "--blob", "8k", "x"}},
                      UsageCase{"FileForSoundex", {"soundex", "--file", "x"}},
                      UsageCase{"HexAndFile", {"split", "--hex", "--file", "6162"}},
                      UsageCase{"FileThatCannotBeRead", {"split", "--file", "/nonexistent/text"}}),
    [](const ::testing::TestParamInfo<UsageCase>& row) { return row.param.name; });

TEST(VexaCallModuleTest, ModuleThatDoesNotLoadExitsWithOne) {
  const ProcessResult result = RunProcess({VEXA_CALL_PATH, "/nonexistent/Vexa.so", "soundex", "x"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find("/nonexistent/Vexa.so"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace vexa_test

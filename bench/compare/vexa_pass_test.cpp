#include "bench/compare/vexa_pass.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/vexa_module.h"

namespace vexa::compare {
namespace {

const vexa::bench::WordLists kLists{{"THE", "AND"}, {"TCP/IP"}};
// Gives LORD WALKING TCP/IP DOGS LORD RUNS QUICKLY: THE and AND are stop
// words, TCP/IP a token, "LORD," no token.
const std::string kText = "The LORD, walking and TCP/IP dogs, lord, runs quickly.\n";
const std::vector<std::string> kWords = {"LORD", "WALKING", "TCP/IP", "DOGS", "LORD", "RUNS", "QUICKLY"};

std::uint64_t WordHash(const std::string& word) {
  std::uint64_t hash = 0;
  for (const char byte : word) hash = hash * 31 + static_cast<unsigned char>(byte);
  return hash;
}

class VexaPassTest : public ::testing::Test {
 protected:
  std::uint64_t CrcOf(const std::string& document) const {
    const std::int32_t handle = Vexa().Parser_Create();
    Vexa().Parser_Add(&handle, document.c_str());
    const auto crc = static_cast<std::uint32_t>(Vexa().Parser_CRC(&handle));
    Vexa().Parser_Free(&handle);
    return crc;
  }
  const vexa_host::VexaExports& Vexa() const { return module.Exports(); }

  vexa::bench::VexaModule module{VEXA_MODULE_FILE,
                                 vexa::bench::LayoutFor(vexa::bench::ModuleConfiguration::kWordLists, kLists, {})};
  ResultRelease release{LoadedServerUtilityLibrary()};
};

TEST_F(VexaPassTest, ReadsEveryWordOfTheDocument) {
  const PassResult result = ParseAndReadDocuments(Vexa(), release, {kText}, TextIntake::kAddBlob);
  std::uint64_t expected = 0;
  for (const std::string& word : kWords) expected += WordHash(word);
  expected ^= CrcOf(kText) << 16;
  EXPECT_EQ(result, (PassResult{7, expected}));
}

TEST_F(VexaPassTest, TheBlobAndTheStringGiveTheSameWords) {
  const std::vector<std::string> documents = {kText, "Another text, and the dogs.", ""};
  const PassResult blob = ParseAndReadDocuments(Vexa(), release, documents, TextIntake::kAddBlob);
  EXPECT_EQ(blob.words, 10);
  EXPECT_EQ(ParseAndReadDocuments(Vexa(), release, documents, TextIntake::kAdd), blob);
}

TEST_F(VexaPassTest, ADocumentOfSeveralSegmentsIsReadWhole) {
  std::string document;
  while (document.size() < 150000) document += kText;
  const PassResult blob = ParseAndReadDocuments(Vexa(), release, {document}, TextIntake::kAddBlob);
  EXPECT_EQ(blob.words, static_cast<std::int64_t>(7 * (document.size() / kText.size())));
  EXPECT_EQ(ParseAndReadDocuments(Vexa(), release, {document}, TextIntake::kAdd), blob);
}

TEST_F(VexaPassTest, OtherWordsGiveAnotherResult) {
  EXPECT_NE(ParseAndReadDocuments(Vexa(), release, {kText}, TextIntake::kAddBlob),
            ParseAndReadDocuments(Vexa(), release, {"The LORD, walking and TCP/IP cats."}, TextIntake::kAddBlob));
}

TEST_F(VexaPassTest, WithoutReadingOnlyTheCrcsCount) {
  const PassResult result = ParseDocumentsWithoutReading(Vexa(), {kText, "dogs"});
  EXPECT_EQ(result, (PassResult{0, (CrcOf(kText) << 16) ^ (CrcOf("dogs") << 16)}));
}

TEST_F(VexaPassTest, EveryHandleIsFreed) {
  // 1024 handles at once at most: a pass that kept them would run out.
  const std::vector<std::string> documents(1500, "dogs");
  EXPECT_EQ(ParseAndReadDocuments(Vexa(), release, documents, TextIntake::kAddBlob).words, 1500);
  EXPECT_EQ(ParseDocumentsWithoutReading(Vexa(), documents).words, 0);
}

}  // namespace
}  // namespace vexa::compare

#include "bench/compare/comparison_table.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace vexa::compare {
namespace {

LanguageSummary Summary() {
  LanguageSummary summary;
  summary.name = "English";
  summary.file = "/corpus/english.txt";
  summary.documents = 3;
  summary.bytes = 2000000;
  summary.utf8Bytes = 2000000;
  summary.stopWords = 500;
  summary.tokens = 40;
  return summary;
}

// Each contender over 2 MB: Vexa (AddBlob) in a median 20 ms, so 100 MB/s;
// FTS5 ascii in 40 ms (50 MB/s); the bare scan in 4 ms (500 MB/s).
std::vector<PassMeasurement> Measured() {
  std::vector<PassMeasurement> contenders(std::size(kAllContenders));
  contenders[ContenderIndex(Contender::kVexaAddBlob)] = {{300000, 1}, {0.030, 0.020, 0.019}};
  contenders[ContenderIndex(Contender::kVexaAdd)] = {{300000, 1}, {0.018, 0.018, 0.018}};
  contenders[ContenderIndex(Contender::kVexaWithoutReading)] = {{0, 1}, {0.010, 0.010, 0.010}};
  contenders[ContenderIndex(Contender::kVexaWithoutLists)] = {{390000, 1}, {0.008, 0.008, 0.009}};
  contenders[ContenderIndex(Contender::kVexaUdrFetch)] = {{300000, 1}, {0.010, 0.010, 0.012}};
  contenders[ContenderIndex(Contender::kFts5Ascii)] = {{400000, 2}, {0.040, 0.040, 0.041}};
  contenders[ContenderIndex(Contender::kFts5Unicode61)] = {{400000, 3}, {0.080, 0.080, 0.080}};
  contenders[ContenderIndex(Contender::kBareRunScan)] = {{420000, 4}, {0.004, 0.005, 0.004}};
  return contenders;
}

TEST(ComparisonTable, NamesTheLanguageAndItsDocuments) {
  const std::string table = ComparisonTable(Summary(), Measured());
  EXPECT_EQ(table.rfind("English: /corpus/english.txt, 3 documents of at most 64 KiB, 2.00 MB (2.00 MB in UTF-8); "
                        "Vexa with 500 stop words and 40 tokens\n",
                        0),
            0U)
      << table;
  EXPECT_NE(table.find("median of 3 rounds"), std::string::npos) << table;
}

TEST(ComparisonTable, RowsGiveMedianThroughputWordsAndTimes) {
  const std::string table = ComparisonTable(Summary(), Measured());
  EXPECT_NE(table.find("  Vexa, Parser_AddBlob           100.0      15.00       300000      20.00 (19.00..30.00)\n"),
            std::string::npos)
      << table;
  EXPECT_NE(table.find("  Vexa, AddBlob, no Next         200.0          -            0      10.00 (10.00..10.00)\n"),
            std::string::npos)
      << table;
  EXPECT_NE(table.find("  Vexa, AddBlob, no lists        250.0      48.75       390000       8.00 (8.00..9.00)\n"),
            std::string::npos)
      << table;
  EXPECT_NE(table.find("  bare run scan                  500.0     105.00       420000       4.00 (4.00..5.00)\n"),
            std::string::npos)
      << table;
}

TEST(ComparisonTable, EndsWithVexasRatios) {
  const std::string table = ComparisonTable(Summary(), Measured());
  EXPECT_NE(table.find("Vexa/FTS5-ascii 2.00x   Vexa/bare-scan 0.20x   Vexa/FTS5-unicode61 4.00x"), std::string::npos)
      << table;
  EXPECT_NE(table.find("Vexa-UDR/FTS5-ascii 4.00x   Vexa-UDR/Vexa 2.00x"), std::string::npos) << table;
}

TEST(ComparisonTable, NeedsEveryContender) {
  std::vector<PassMeasurement> contenders = Measured();
  contenders.pop_back();
  EXPECT_THROW(ComparisonTable(Summary(), contenders), std::invalid_argument);
}

TEST(ComparisonTable, MedianBytesPerSecondUsesTheMiddleTime) {
  EXPECT_DOUBLE_EQ(MedianBytesPerSecond(PassMeasurement{{}, {1.0, 4.0, 2.0}}, 100), 50.0);
}

}  // namespace
}  // namespace vexa::compare

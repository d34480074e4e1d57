// Vexa.ini files no one would write on purpose: 10 MB of keys before the
// sections that matter, values longer than the 2,047 bytes a value keeps,
// 20,000 filter names of which only those that fit 16 KiB are read.
#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "configured_module.h"
#include "host_calls.h"
#include "loaded_module.h"

namespace vexa::test {
namespace {

using Words = std::vector<std::string>;

constexpr std::size_t kTenMegabytes = 10u << 20;
constexpr std::size_t kMaxValueLength = 2047;

struct Configured {
  explicit Configured(const std::vector<ExtraFile>& files) : module(files), vexa(module.Exports()) {}
  LoadedModule module;
  HostCalls vexa;
};

std::string TenMegabytesOfKeys() {
  std::string keys = "[Padding]\r\n";
  char line[64];
  for (int i = 0; keys.size() < kTenMegabytes; ++i) {
    std::snprintf(line, sizeof line, "key%08d = value %d ; not a comment\r\n", i, i);
    keys += line;
  }
  return keys;
}

TEST(HostileIni, TenMegabytesOfKeysBeforeTheSections) {
  const std::string ini = TenMegabytesOfKeys() + "[Main]\r\nMinWordLen=5\r\n[Filters]\r\ncall_counting_filter.so=\r\n";
  const Configured c({ExtraFile::Written("Vexa.ini", ini), TestFilter("call_counting_filter")});
  EXPECT_EQ(c.vexa.Split("four fives sixsix", ParserKind::kDocument), (Words{"FIVES*", "SIXSIX*"}));
}

TEST(HostileIni, ATenMegabyteLineIsOneValueCutTo2047Bytes) {
  // Б repeated, then Ж past the cut: only Б is a national letter.
  const std::string nationSet = std::string(kMaxValueLength, '\xC1') + std::string(kTenMegabytes, '\xC6');
  const Configured c({ExtraFile::Written("Vexa.ini", "[SoundEx]\nNationSet=" + nationSet + "\nTranslate=" +
                                                         std::string(kTenMegabytes, 'B') + "\n")});
  // The first 2,047 bytes of each pair up: Б is B; Ж is no letter at all.
  EXPECT_EQ(c.vexa.SoundEx("\xC1\xC6"), c.vexa.SoundEx("B"));
  EXPECT_EQ(c.vexa.SoundEx("\xC6\xC1"), c.vexa.SoundEx("B"));
}

struct LongValueCase {
  std::size_t valueBytes;
  bool lastByteKept;
};

void PrintTo(const LongValueCase& row, std::ostream* out) { *out << row.valueBytes << " bytes"; }

class LongWordSetTest : public ::testing::TestWithParam<LongValueCase> {};

TEST_P(LongWordSetTest, OnlyTheFirst2047BytesCount) {
  // A..Z, then x up to the last byte, which is the digit 7.
  std::string wordSet = "A..Z";
  wordSet += std::string(GetParam().valueBytes - wordSet.size() - 1, 'x');
  wordSet += '7';
  const Configured c({ExtraFile::Written("Vexa.ini", "[Main]\r\nWordSet=" + wordSet + "\r\n")});
  const Words expected = GetParam().lastByteKept ? Words{"AB7", "XX7"} : Words{"AB", "XX"};
  EXPECT_EQ(c.vexa.Split("AB7 xx7 yy", ParserKind::kQuery), expected);
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongWordSetTest,
                         ::testing::Values(LongValueCase{2046, true}, LongValueCase{2047, true},
                                           LongValueCase{2048, false}, LongValueCase{100000, false}),
                         [](const ::testing::TestParamInfo<LongValueCase>& row) {
                           return "Bytes" + std::to_string(row.param.valueBytes);
                         });

TEST(HostileIni, TwentyThousandFilterNamesOnlyThoseThatFit16KilobytesAreRead) {
  // The counting filter first and last: the last name lies far past what
  // the key-name buffer holds, so each word passes the filter once.
  std::string ini = "[Main]\nMinWordLen=2\n[Filters]\ncall_counting_filter.so=\n";
  char line[64];
  for (int i = 0; i < 20000; ++i) {
    std::snprintf(line, sizeof line, "missing_filter_%05d.so=\n", i);
    ini += line;
  }
  ini += "call_counting_filter.so=\n";
  const Configured c({ExtraFile::Written("Vexa.ini", ini), TestFilter("call_counting_filter")});
  EXPECT_EQ(c.vexa.Split("one word", ParserKind::kDocument), (Words{"ONE*", "WORD*"}));
}

}  // namespace
}  // namespace vexa::test

// Filters that break the rules: one that writes no NUL, one that empties
// every word it gets, one that fills the buffer to the brim. Each word comes
// out as the documented rules say, and the words around it are untouched.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "configured_module.h"
#include "host_calls.h"
#include "loaded_module.h"
#include "word_records.h"

namespace vexa::test {
namespace {

using Words = std::vector<std::string>;

constexpr std::size_t kResultBytes = 31;

struct FilterCase {
  const char* name;
  const char* text;
  Words stored;  // the words as the stream keeps them
};

void PrintTo(const FilterCase& row, std::ostream* out) { *out << row.name; }

const FilterCase kFilterCases[] = {
    // No NUL in the buffer: the word is cut at the buffer's last byte.
    {"NoNulIsCutAt255Bytes", "before unterminated after", {"BEFORE", std::string(255, 'Z'), "AFTER"}},
    {"EveryWordEmptiedLeavesNoRecord", "empty emptying emptyish", {}},
    {"EmptiedWordsVanishBetweenOthers", "one empty two emptyish three", {"ONE", "TWO", "THREE"}},
    {"FullBufferIsStoredWhole", "longest x", {std::string(255, 'L'), "X"}},
    // Stop words and tokens pass no filter, so nothing empties or cuts them.
    {"ListedWordsPassNoFilter", "emptyset the TCP/IP unterminated", {"EMPTYSET", "THE", "TCP/IP", std::string(255, 'Z')}},
};

class MisbehavingFilterTest : public ::testing::TestWithParam<FilterCase> {
 protected:
  static void SetUpTestSuite() {
    module_ = new LoadedModule({ExtraFile::Written("Vexa.ini", "[Main]\nMinWordLen=2\n[Filters]\nmisbehaving_filter.so=\n"),
                                ExtraFile::Written("Vexa_skip.lst", "the\nemptyset\n"),
                                ExtraFile::Written("Vexa_tkn.lst", "TCP/IP\n"), MisbehavingFilter()});
  }
  static void TearDownTestSuite() {
    delete module_;
    module_ = nullptr;
  }
  static LoadedModule* module_;
};

LoadedModule* MisbehavingFilterTest::module_ = nullptr;

TEST_P(MisbehavingFilterTest, QueryParserStoresWhatTheRulesSay) {
  const HostCalls vexa(module_->Exports());
  const FilterCase& row = GetParam();
  const std::int32_t handle = vexa.CreateQuery();
  ASSERT_EQ(vexa.Add(handle, row.text), 1);
  EXPECT_EQ(vexa.Crc(handle), StreamCrcOf(row.stored));
  ASSERT_EQ(vexa.Reset(handle), 1);
  Words results;
  for (const std::string& word : row.stored) results.push_back(word.substr(0, kResultBytes));
  EXPECT_EQ(vexa.ReadAll(handle), results);
  EXPECT_EQ(vexa.Free(handle), 1);
}

INSTANTIATE_TEST_SUITE_P(Filters, MisbehavingFilterTest, ::testing::ValuesIn(kFilterCases),
                         [](const ::testing::TestParamInfo<FilterCase>& row) { return row.param.name; });

}  // namespace
}  // namespace vexa::test

#include "bench/scale/substring_hits.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexa::scale {
namespace {

// The check fails a run that finds other documents than the first run of its
// corpus, or not as many as the corpus holds the pattern in; a run that did
// not load its corpus whole, and the runs of another corpus, are not held to it.
TEST(SubstringHitsTest, RunsOfACorpusMustFindTheSameDocuments) {
  const Pattern pattern{3, "rare", "start", "Mir", 2};
  const auto run = [&](const char* system, const char* corpus, std::vector<std::int64_t> ids, bool whole = true) {
    return SubstringRun{system, corpus, whole, {Found{pattern, ids}}};
  };
  struct Case {
    const char* what;
    std::vector<SubstringRun> runs;
    std::size_t disagreements;
  };
  const Case cases[] = {
      {"alike", {run("a", "c", {1, 2}), run("b", "c", {1, 2}), run("d", "e", {7, 9})}, 0},
      {"another document", {run("a", "c", {1, 2}), run("b", "c", {1, 3})}, 1},
      {"fewer than the corpus holds", {run("a", "c", {1}), run("b", "c", {1})}, 2},
      {"stopped", {run("a", "c", {1, 2}), run("b", "c", {1}, false)}, 0},
      {"no patterns", {run("a", "c", {1, 2}), SubstringRun{"b", "c", true, {}}}, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(Disagreements(c.runs).size(), c.disagreements) << c.what;
}

TEST(SubstringHitsTest, HitsLinesReadBack) {
  const std::vector<Found> found = {{Pattern{5, "common", "inside", "ir te", 3}, {4, 8, 15}},
                                    {Pattern{10, "rare", "start", "Quixotic z", 0}, {}}};
  const std::vector<Found> again = ParseFound(FormatFound(found));
  ASSERT_EQ(again.size(), found.size());
  for (std::size_t i = 0; i < found.size(); ++i) {
    EXPECT_EQ(FormatPatterns({again[i].pattern}), FormatPatterns({found[i].pattern}));
    EXPECT_EQ(again[i].ids, found[i].ids);
  }
}

}  // namespace
}  // namespace vexa::scale

// A filter that faults (a null or wild pointer, a division by zero, a stack
// overflow) costs only the word it was given: the module catches the fault
// on the calling thread, drops that word, and the next word, the next call
// and the other threads go on as before.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "host_calls.h"
#include "loaded_module.h"
#include "system_names.h"
#include "word_records.h"

namespace vexa::test {
namespace {

using Words = std::vector<std::string>;

// The words on which filters/faulting_filter.cpp faults.
const char* const kFaultingWords[] = {"NULLWRITE", "WILDREAD", "DIVZERO", "OVERFLOW"};

std::vector<ExtraFile> FaultingFilterBesideTheModule() {
  const std::string file = ModuleFileName("faulting_filter");
  return {ExtraFile::Written("Vexa.ini", "[Main]\nMinWordLen=2\n[Filters]\n" + file + "=\n"),
          ExtraFile::Copy(std::filesystem::path(TEST_FILTER_DIRECTORY) / file, file)};
}

class FaultingFilterTest : public ::testing::TestWithParam<const char*> {
 protected:
  LoadedModule module_{FaultingFilterBesideTheModule()};
  HostCalls vexa_{module_.Exports()};
};

TEST_P(FaultingFilterTest, DropsOnlyTheWordItFaultedOn) {
  const std::string fault = GetParam();
  const std::int32_t handle = vexa_.Create();
  ASSERT_EQ(vexa_.Add(handle, "good " + fault + " fine"), 1);
  ASSERT_EQ(vexa_.Add(handle, fault), 1);
  ASSERT_EQ(vexa_.Add(handle, "after"), 1);
  const Words expected{"#OOD", "#INE", "#FTER"};
  EXPECT_EQ(vexa_.Crc(handle), StreamCrcOf(expected));
  ASSERT_EQ(vexa_.Reset(handle), 1);
  EXPECT_EQ(vexa_.ReadAll(handle), expected);
  EXPECT_EQ(vexa_.Free(handle), 1);
  // The module goes on: a new parser, the other exports.
  EXPECT_EQ(vexa_.Split("more words", ParserKind::kQuery), (Words{"#ORE", "#ORDS"}));
  EXPECT_EQ(vexa_.SoundEx("Robert"), 874958);
}

TEST_P(FaultingFilterTest, FaultsAgainAndAgainInOneThread) {
  // A stack overflow uses up the stack's guard page: the second one finds
  // it again only when the module gave it back.
  const std::string fault = GetParam();
  std::string text;
  for (int i = 0; i < 5; ++i) text += fault + " w" + std::to_string(i) + " ";
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(vexa_.Split(text, ParserKind::kDocument), (Words{"#0", "#1", "#2", "#3", "#4"})) << "round " << round;
  }
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultingFilterTest, ::testing::ValuesIn(kFaultingWords),
                         [](const ::testing::TestParamInfo<const char*>& row) { return std::string(row.param); });

TEST(FaultingFilterThreads, EachThreadLosesOnlyItsFaultingWords) {
  const LoadedModule module(FaultingFilterBesideTheModule());
  const HostCalls vexa(module.Exports());
  constexpr std::size_t kThreads = 4;
  constexpr int kRounds = 20;
  std::vector<std::vector<Words>> results(kThreads);  // every round's words, per thread
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < kThreads; ++t) {
    threads.emplace_back([&vexa, &results, t] {
      const std::string text = std::string(kFaultingWords[t % 4]) + " t" + std::to_string(t) + " " +
                               kFaultingWords[(t + 1) % 4] + " x" + std::to_string(t);
      for (int round = 0; round < kRounds; ++round) results[t].push_back(vexa.Split(text, ParserKind::kDocument));
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (std::size_t t = 0; t < kThreads; ++t) {
    const Words expected{"#" + std::to_string(t), "#" + std::to_string(t)};
    ASSERT_EQ(results[t].size(), static_cast<std::size_t>(kRounds));
    for (int round = 0; round < kRounds; ++round) {
      EXPECT_EQ(results[t][static_cast<std::size_t>(round)], expected) << "thread " << t << ", round " << round;
    }
  }
}

}  // namespace
}  // namespace vexa::test

// Many threads calling the exports of one configured module at once, as the
// attachments of a server do. Parsers are created, fed (by text and by BLOB),
// read back and freed on every thread; the handle table is filled to the last
// slot and emptied again, round after round; StrSoundEX runs beside them.
// Every parser must give the words and CRC one thread alone gets for the
// same document, and no handle may be held by two threads at once.
//
// Each test stops after a fixed amount of work or after a few seconds,
// whichever comes first, so that it stays short under ThreadSanitizer too.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "configured_module.h"
#include "failure_log.h"
#include "host_calls.h"
#include "loaded_module.h"
#include "stress_documents.h"
#include "thread_barrier.h"

namespace vexa::test {
namespace {

constexpr std::int32_t kSlotCount = 1024;
constexpr std::size_t kDocumentCount = 48;
constexpr std::size_t kWorkerThreads = 6;
constexpr std::size_t kSoundExThreads = 2;
constexpr auto kTimeLimit = std::chrono::seconds(3);

using Clock = std::chrono::steady_clock;

// Which thread holds each handle: a handle given out while another thread
// still holds it is a fault of the handle table.
class HandleOwners {
 public:
  // False when the handle is out of range or already held.
  bool Take(std::int32_t handle, int thread) {
    if (handle < 1 || handle > kSlotCount) return false;
    int none = 0;
    return owners_[static_cast<std::size_t>(handle)].compare_exchange_strong(none, thread + 1);
  }
  void Release(std::int32_t handle) { owners_[static_cast<std::size_t>(handle)].store(0); }

 private:
  std::array<std::atomic<int>, kSlotCount + 1> owners_{};
};

// What every test shares: the module, the documents and their outcomes
// from a single thread.
class ConcurrencyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    expected_ = SingleThreadedOutcomes(vexa_, documents_);
    for (const ParseOutcome& outcome : expected_) ASSERT_FALSE(outcome.words.empty());
    for (const std::string& word : soundExWords_) soundExCodes_.push_back(vexa_.SoundEx(word));
  }

  // Feeds and reads one document on `handle` and compares with the
  // single-threaded outcome.
  void CheckDocument(std::int32_t handle, std::size_t index) {
    const ParseOutcome got = FeedAndRead(vexa_, handle, documents_[index]);
    if (!(got == expected_[index])) {
      failures_.Record("document " + std::to_string(index) + " on handle " + std::to_string(handle) + ": " +
                       Difference(expected_[index], got));
    }
  }

  // StrSoundEX of every word, again and again, until `stop` is set.
  void SoundExUntil(const std::atomic<bool>& stop) {
    while (!stop.load()) {
      for (std::size_t i = 0; i < soundExWords_.size(); ++i) {
        const std::int32_t code = vexa_.SoundEx(soundExWords_[i]);
        if (code != soundExCodes_[i]) {
          failures_.Record("StrSoundEX of word " + std::to_string(i) + ": " + std::to_string(soundExCodes_[i]) +
                           " expected, " + std::to_string(code) + " got");
        }
      }
    }
  }

  // Runs `worker(0)` .. `worker(kWorkerThreads - 1)` on threads of their own
  // while kSoundExThreads more threads call StrSoundEX, until the workers end.
  template <typename Worker>
  void RunWorkersBesideSoundEx(const Worker& worker) {
    std::atomic<bool> soundExStop{false};
    std::vector<std::thread> soundExThreads;
    for (std::size_t i = 0; i < kSoundExThreads; ++i) soundExThreads.emplace_back([&] { SoundExUntil(soundExStop); });
    std::vector<std::thread> workers;
    for (std::size_t i = 0; i < kWorkerThreads; ++i) workers.emplace_back(worker, static_cast<int>(i));
    for (std::thread& thread : workers) thread.join();
    soundExStop = true;
    for (std::thread& thread : soundExThreads) thread.join();
  }

  LoadedModule module_{FullConfiguration()};
  HostCalls vexa_{module_.Exports()};
  const std::vector<StressDocument> documents_ = StressDocuments(kDocumentCount);
  std::vector<ParseOutcome> expected_;
  const std::vector<std::string> soundExWords_ = SoundExWords();
  std::vector<std::int32_t> soundExCodes_;
  HandleOwners owners_;
  FailureLog failures_;
};

TEST_F(ConcurrencyTest, ThreadsFillAndEmptyTheHandleTableTogether) {
  constexpr int kMaxRounds = 100;
  const Clock::time_point deadline = Clock::now() + kTimeLimit;
  ThreadBarrier barrier(kWorkerThreads);
  std::array<std::atomic<int>, kMaxRounds> heldInRound{};
  std::atomic<bool> stop{false};
  std::atomic<int> roundsDone{0};

  auto worker = [&](int thread) {
    std::vector<std::int32_t> held;
    for (int round = 0; round < kMaxRounds; ++round) {
      // Take slots until the table is full; nobody frees before the barrier,
      // so once one thread is refused every slot is taken.
      for (std::size_t n = 0;; ++n) {
        const ParserKind kind = documents_[(n * kWorkerThreads + static_cast<std::size_t>(thread)) % kDocumentCount].kind;
        const std::int32_t handle = vexa_.Create(kind);
        if (handle == 0) break;
        if (!owners_.Take(handle, thread)) failures_.Record("handle " + std::to_string(handle) + " given out twice");
        held.push_back(handle);
      }
      heldInRound[static_cast<std::size_t>(round)] += static_cast<int>(held.size());
      barrier.ArriveAndWait();
      if (thread == 0 && heldInRound[static_cast<std::size_t>(round)] != kSlotCount) {
        failures_.Record("round " + std::to_string(round) + ": " +
                         std::to_string(heldInRound[static_cast<std::size_t>(round)].load()) +
                         " handles held when the table was full");
      }
      // Each parser is fed the document whose kind it was made with, read
      // back and freed, so the table empties while others are still fed.
      for (std::size_t n = 0; n < held.size(); ++n) {
        const std::size_t index = (n * kWorkerThreads + static_cast<std::size_t>(thread)) % kDocumentCount;
        CheckDocument(held[n], index);
        owners_.Release(held[n]);
        if (vexa_.Free(held[n]) != 1) failures_.Record("Parser_Free(" + std::to_string(held[n]) + ") refused");
      }
      held.clear();
      if (thread == 0) {
        roundsDone = round + 1;
        if (Clock::now() > deadline) stop = true;
      }
      barrier.ArriveAndWait();
      if (stop.load()) break;
    }
  };

  RunWorkersBesideSoundEx(worker);

  EXPECT_EQ(failures_.Count(), 0u) << failures_.Summary();
  EXPECT_GE(roundsDone.load(), 1);
  // Every slot is empty again: the lowest handle comes first.
  const std::int32_t handle = vexa_.Create();
  EXPECT_EQ(handle, 1);
  vexa_.Free(handle);
  std::cout << "[          ] " << roundsDone.load() << " rounds of " << kSlotCount << " parsers\n";
}

TEST_F(ConcurrencyTest, ThreadsCreateFeedReadAndFreeFreely) {
  constexpr std::size_t kMaxDocumentsPerThread = 20000;
  constexpr std::size_t kHeldAtOnce = 5;
  const Clock::time_point deadline = Clock::now() + kTimeLimit;
  std::atomic<std::size_t> documentsDone{0};

  // Each worker keeps a few parsers at once, so that creating and freeing on
  // one thread interleave with feeding and reading on the others.
  auto worker = [&](int thread) {
    std::vector<std::pair<std::int32_t, std::size_t>> held;
    std::size_t n = 0;
    for (; n < kMaxDocumentsPerThread && Clock::now() < deadline; ++n) {
      const std::size_t index = (n * 7 + static_cast<std::size_t>(thread) * 13) % kDocumentCount;
      const std::int32_t handle = vexa_.Create(documents_[index].kind);
      if (handle == 0) {
        failures_.Record("Parser_Create refused with at most " + std::to_string(kWorkerThreads * kHeldAtOnce) +
                         " parsers in use");
        break;
      }
      if (!owners_.Take(handle, thread)) failures_.Record("handle " + std::to_string(handle) + " given out twice");
      held.emplace_back(handle, index);
      if (held.size() == kHeldAtOnce) {
        const auto [oldest, oldestIndex] = held.front();
        held.erase(held.begin());
        CheckDocument(oldest, oldestIndex);
        owners_.Release(oldest);
        if (vexa_.Free(oldest) != 1) failures_.Record("Parser_Free(" + std::to_string(oldest) + ") refused");
      }
    }
    for (const auto& [handle, index] : held) {
      CheckDocument(handle, index);
      owners_.Release(handle);
      vexa_.Free(handle);
    }
    documentsDone += n;
  };

  RunWorkersBesideSoundEx(worker);

  EXPECT_EQ(failures_.Count(), 0u) << failures_.Summary();
  EXPECT_GT(documentsDone.load(), 0u);
  const std::int32_t handle = vexa_.Create();
  EXPECT_EQ(handle, 1) << "a parser was left in the table";
  vexa_.Free(handle);
  std::cout << "[          ] " << documentsDone.load() << " documents on " << kWorkerThreads << " threads\n";
}

}  // namespace
}  // namespace vexa::test

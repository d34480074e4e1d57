// Memory running out at each allocation in turn: a full parse with word
// lists and filters, the configuration step, the module's load, and the
// exports that create parsers and add text and BLOBs. Whichever allocation
// fails, no exception leaves the library, every parser's stream is a
// sequence of whole records that WordCount counts, at most the one word
// being stored is lost, and nothing leaks: no block of memory, no filter
// library left loaded.
//
// The exports are linked into this program, which starts and stops the
// library itself; the Vexa.ini, word lists and filters beside the program
// are its configuration.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "config/configuration.h"
#include "config/word_set.h"
#include "failing_allocator.h"
#include "frame/exports.h"
#include "frame/library.h"
#include "parser/parser.h"
#include "platform/platform.h"
#include "stream_records.h"

namespace vexa::test {
namespace {

using Words = std::vector<std::string>;

// A run that still has allocations left after this many is not ending.
constexpr std::uint64_t kMostAllocations = 100000;

const char* const kFilterLibraries[] = {"strip_final_s_filter.so", "allocating_filter.so"};

std::string ProgramDirectory() {
  return std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/";
}

// Words of every kind: stop words, tokens, words the filters change, words
// longer than 255 bytes, enough of them for the stream to grow many times.
std::string SampleText() {
  std::string text;
  for (int i = 0; i < 40; ++i) {
    text += "The books of TCP/IP and C++ list " + std::to_string(i) + " R&D papers, is it? ";
    if (i % 10 == 0) text += std::string(300, static_cast<char>('a' + i / 10)) + " ";
  }
  return text;
}

bool IsLoaded(const std::string& library) {
  void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle == nullptr) return false;
  dlclose(handle);
  return true;
}

// Reports each filter library that stays loaded once its owner is gone, the
// first time it is seen: a library handle lost on a failure path keeps the
// library loaded for the rest of the process, and later runs can tell no more.
class FilterLibraryWatch {
 public:
  // A library that an earlier test in this process left loaded can tell
  // nothing here.
  FilterLibraryWatch() {
    for (const char* name : kFilterLibraries) {
      if (IsLoaded(ProgramDirectory() + name)) reported_.insert(name);
    }
  }

  void Check(const std::string& afterWhat) {
    for (const char* name : kFilterLibraries) {
      if (reported_.count(name) == 0 && IsLoaded(ProgramDirectory() + name)) {
        reported_.insert(name);
        ADD_FAILURE() << name << " stayed loaded " << afterWhat;
      }
    }
  }

 private:
  std::set<std::string> reported_;
};

std::string AfterFailing(std::uint64_t n) { return "after allocation " + std::to_string(n) + " failed"; }

// The parser's stream holds whole records, WordCount counts them, and they
// are `reference` with at most one word left out.
void ExpectIntactParser(const vexa::TParser& parser, const Words& reference) {
  const std::optional<Words> words = WholeRecords(parser.WordStream());
  ASSERT_TRUE(words.has_value()) << "the stream is not a sequence of whole records";
  EXPECT_EQ(static_cast<std::size_t>(parser.WordCount()), words->size());
  EXPECT_TRUE(AtMostOneWordMissing(reference, *words))
      << reference.size() << " words without a failure, " << words->size() << " with it";
}

Words ParsedWords(const vexa::TParser& parser) { return WholeRecords(parser.WordStream()).value_or(Words{}); }

void StripFinalS(char* word) {
  const std::size_t length = std::strlen(word);
  if (length > 1 && word[length - 1] == 'S') word[length - 1] = '\0';
}

void CopyOnTheHeap(char* word) {
  const std::vector<char> copy(word, word + std::strlen(word) + 1);
  std::memcpy(word, copy.data(), copy.size());
}

vexa::TEngineSettings ParseSettings() {
  vexa::TEngineSettings settings;
  settings.wordCharacters = vexa::ParseWordSet("A..Za..z0..9_");
  settings.minWordLength = 3;
  settings.wordTable.Build({"the", "and", "of", "is", "TCP/IP", "C++", "R&D"}, 4);
  settings.filters.Add(vexa::TFilterEntry{nullptr, &StripFinalS});
  settings.filters.Add(vexa::TFilterEntry{nullptr, &CopyOnTheHeap});
  return settings;
}

TEST(AllocationFailure, EveryFailureInAParseCostsAtMostOneWord) {
  const vexa::TEngineSettings settings = ParseSettings();
  const std::string text = SampleText();
  vexa::TParser whole(false, settings);
  whole.AddText(text.c_str());
  const Words reference = ParsedWords(whole);
  ASSERT_GT(reference.size(), 200u);

  std::uint64_t n = 1;
  for (bool failed = true; failed; ++n) {
    ASSERT_LT(n, kMostAllocations);
    SCOPED_TRACE("allocation " + std::to_string(n) + " fails");
    const std::int64_t liveBefore = LiveAllocations();
    {
      vexa::TParser parser(false, settings);
      bool threw = false;
      FailAllocationNumber(n);
      try {
        parser.AddText(text.c_str());
      } catch (...) {
        threw = true;
      }
      failed = StopFailingAllocations();
      EXPECT_FALSE(threw);
      ExpectIntactParser(parser, reference);
    }
    EXPECT_EQ(LiveAllocations(), liveBefore);
  }
  std::cout << "[          ] " << n - 2 << " allocations in a full parse\n";
}

TEST(AllocationFailure, EveryFailureWhileReadingTheConfigurationLeavesUsableSettings) {
  const std::string directory = ProgramDirectory();
  const vexa::TConfigFile config(directory + vexa::kConfigFileName);
  const std::string text = SampleText();
  {
    vexa::TEngineSettings full;
    vexa::ReadConfiguration(config, directory, full);
    ASSERT_EQ(full.filters.Count(), 2u) << "the filters beside the program were not loaded";
    ASSERT_EQ(full.wordTable.Words().size(), 7u) << "the word lists beside the program were not read";
  }

  FilterLibraryWatch filterLibraries;
  std::uint64_t n = 1;
  for (bool failed = true; failed; ++n) {
    ASSERT_LT(n, kMostAllocations);
    SCOPED_TRACE("allocation " + std::to_string(n) + " fails");
    const std::int64_t liveBefore = LiveAllocations();
    {
      vexa::TEngineSettings settings;
      FailAllocationNumber(n);
      try {
        vexa::ReadConfiguration(config, directory, settings);
      } catch (const std::bad_alloc&) {
        // The frame catches this and goes on with the settings made so far.
      }
      failed = StopFailingAllocations();
      // Whatever was made so far is consistent enough to parse with.
      vexa::TParser parser(false, settings);
      parser.AddText(text.c_str());
      const std::optional<Words> words = WholeRecords(parser.WordStream());
      ASSERT_TRUE(words.has_value());
      EXPECT_EQ(static_cast<std::size_t>(parser.WordCount()), words->size());
    }
    EXPECT_EQ(LiveAllocations(), liveBefore);
    filterLibraries.Check(AfterFailing(n) + " and the settings were destroyed");
  }
  std::cout << "[          ] " << n - 2 << " allocations in reading the configuration\n";
}

// A BLOB served from memory without allocating, so that only the module's
// allocations are counted.
struct MemoryBlob {
  const char* data;
  std::size_t size;
  std::size_t position = 0;

  static short GetSegment(void* handle, unsigned char* buffer, unsigned short room, unsigned short* length) {
    auto* blob = static_cast<MemoryBlob*>(handle);
    const std::size_t count = std::min<std::size_t>(room, blob->size - blob->position);
    *length = static_cast<unsigned short>(count);
    if (count == 0) return 0;
    std::memcpy(buffer, blob->data + blob->position, count);
    blob->position += count;
    return 1;
  }

  BLOBCALLBACK Record() {
    BLOBCALLBACK record{};
    record.blob_get_segment = &MemoryBlob::GetSegment;
    record.blob_handle = this;
    record.blob_max_segment = 1000;
    record.blob_total_length = static_cast<std::int32_t>(size);
    return record;
  }
};

// Creates a parser and adds a text, a BLOB and another text through the
// exports; the handle, or 0. Exceptions that leave an export are counted.
struct ExportsRun {
  std::int32_t handle = 0;
  std::int32_t blobResult = 0;
  int escapedExceptions = 0;

  void Run(const std::string& first, const std::string& blobText, const std::string& last) {
    MemoryBlob blob{blobText.data(), blobText.size()};
    const BLOBCALLBACK record = blob.Record();
    try {
      handle = Parser_Create();
      if (handle == 0) return;
      Parser_Add(&handle, first.c_str());
      blobResult = Parser_AddBlob(&handle, &record);
      Parser_Add(&handle, last.c_str());
    } catch (...) {
      ++escapedExceptions;
    }
  }
};

class LoadedInProcess : public ::testing::Test {
 protected:
  void TearDown() override {
    vexa::platform::OnModuleUnload();
    filterLibraries_.Check("after the library was unloaded");
  }

  FilterLibraryWatch filterLibraries_;
};

TEST_F(LoadedInProcess, EveryFailureInTheExportsIsAnsweredByTheirResults) {
  vexa::platform::OnModuleLoad();
  vexa::Library* library = vexa::LoadedLibrary();
  ASSERT_NE(library, nullptr);
  ASSERT_EQ(library->configuration.settings.filters.Count(), 2u) << "the configuration beside the program was not read";
  const std::string first = SampleText();
  const std::string blobText = "Books in a BLOB, C++ and R&D " + std::string(5000, 'b') + " end ";
  const std::string last = "last words";

  ExportsRun whole;
  whole.Run(first, blobText, last);
  ASSERT_EQ(whole.handle, 1);
  const Words reference = ParsedWords(*library->handles.Find(whole.handle));
  ExportsRun withoutBlob;
  withoutBlob.Run(first, "", last);
  const Words referenceWithoutBlob = ParsedWords(*library->handles.Find(withoutBlob.handle));
  ASSERT_EQ(Parser_Free(&whole.handle), 1);
  ASSERT_EQ(Parser_Free(&withoutBlob.handle), 1);

  std::uint64_t n = 1;
  for (bool failed = true; failed; ++n) {
    ASSERT_LT(n, kMostAllocations);
    SCOPED_TRACE("allocation " + std::to_string(n) + " fails");
    const std::int64_t liveBefore = LiveAllocations();
    ExportsRun run;
    FailAllocationNumber(n);
    run.Run(first, blobText, last);
    failed = StopFailingAllocations();
    EXPECT_EQ(run.escapedExceptions, 0);
    if (run.handle == 0) {
      // The parser could not be made: its slot stayed empty.
      EXPECT_TRUE(failed);
      std::int32_t probe = Parser_Create();
      EXPECT_EQ(probe, 1);
      Parser_Free(&probe);
    } else {
      const vexa::TParser* parser = library->handles.Find(run.handle);
      ASSERT_NE(parser, nullptr);
      if (run.blobResult == 1) {
        ExpectIntactParser(*parser, reference);
      } else {
        // The BLOB's buffer could not be had: the BLOB adds nothing.
        ExpectIntactParser(*parser, referenceWithoutBlob);
      }
      EXPECT_EQ(Parser_Free(&run.handle), 1);
    }
    EXPECT_EQ(LiveAllocations(), liveBefore);
  }
  std::cout << "[          ] " << n - 2 << " allocations in creating a parser and adding text and a BLOB\n";
}

TEST_F(LoadedInProcess, EveryFailureWhileLoadingLeavesAWorkingLibraryOrNone) {
  const std::string text = SampleText();
  std::uint64_t n = 1;
  for (bool failed = true; failed; ++n) {
    ASSERT_LT(n, kMostAllocations);
    SCOPED_TRACE("allocation " + std::to_string(n) + " fails");
    const std::int64_t liveBefore = LiveAllocations();
    FailAllocationNumber(n);
    vexa::platform::OnModuleLoad();
    failed = StopFailingAllocations();

    std::int32_t handle = Parser_Create();
    if (vexa::LoadedLibrary() == nullptr) {
      EXPECT_EQ(handle, 0) << "no library, yet a parser";
    } else {
      ASSERT_EQ(handle, 1);
      EXPECT_EQ(Parser_Add(&handle, text.c_str()), 1);
      const std::optional<Words> words = WholeRecords(vexa::LoadedLibrary()->handles.Find(handle)->WordStream());
      EXPECT_TRUE(words.has_value() && !words->empty());
      // Left for the unload to destroy.
    }
    vexa::platform::OnModuleUnload();
    EXPECT_EQ(LiveAllocations(), liveBefore);
    filterLibraries_.Check(AfterFailing(n) + " in loading and the library was unloaded");
  }
  std::cout << "[          ] " << n - 2 << " allocations in loading the library\n";
}

}  // namespace
}  // namespace vexa::test

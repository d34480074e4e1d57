// A thousand loads of a configured module (Vexa.ini, word lists, a filter),
// each used and unloaded again, as a server does whenever the last attachment
// to a database closes. Nothing may stay behind: no memory (the resident
// size, and LeakSanitizer in the sanitizer build), no open file, no mapping
// of the module or its filter.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "configured_module.h"
#include "host_calls.h"
#include "loaded_module.h"
#include "process_status.h"
#include "recording_blob.h"
#include "support/host/loaded_objects.h"

namespace vexa::test {
namespace {

constexpr int kCycles = 1000;
constexpr int kSettledCycle = 100;
constexpr std::size_t kAllowedGrowthKilobytes = 4096;

using vexa::host::IsMapped;
using Words = std::vector<std::string>;

// One cycle's use: parsers of both kinds, text and BLOB, one parser left for
// the unload to destroy, and the phonetic code.
void UseModule(const HostCalls& vexa) {
  const std::int32_t document = vexa.Create();
  const std::int32_t query = vexa.CreateQuery();
  const std::int32_t leftOver = vexa.Create();
  ASSERT_EQ(document, 1);
  ASSERT_EQ(query, 2);
  ASSERT_EQ(leftOver, 3);

  ASSERT_EQ(vexa.Add(document, "The books of TCP/IP and C++ "), 1);
  RecordingBlob blob("\xCA\xED\xE8\xE3\xE8 \xE8 \xF1\xEB\xEE\xE2\xE0", 4);
  const vexa::host::BlobCallback record = blob.Record(4, 13);
  ASSERT_EQ(vexa.AddBlob(document, &record), 1);
  ASSERT_EQ(vexa.Reset(document), 1);
  // "Книги и слова": И is a stop word; the filter takes the final S of BOOKS.
  ASSERT_EQ(vexa.ReadAll(document), (Words{"BOOK", "TCP/IP", "C++", "\xCA\xCD\xC8\xC3\xC8", "\xD1\xCB\xCE\xC2\xC0"}));
  ASSERT_EQ(vexa.Add(query, "the a"), 1);
  ASSERT_EQ(vexa.Reset(query), 1);
  ASSERT_EQ(vexa.ReadAll(query), (Words{"THE", "A"}));
  ASSERT_EQ(vexa.Add(leftOver, std::string(10000, 'x') + " left for the unload"), 1);
  ASSERT_EQ(vexa.Free(document), 1);
  ASSERT_EQ(vexa.Free(query), 1);
  ASSERT_EQ(vexa.SoundEx("\xC3\xEE\xE3\xEE\xEB\xFC"), 765748);
}

TEST(LoadCycles, AThousandLoadsLeaveNoMemoryFilesOrMappingsBehind) {
  LoadedModule module(FullConfiguration());
  module.Unload();
  const std::filesystem::path filter = module.Directory() / "strip_final_s_filter.so";

  std::size_t settledKilobytes = 0;
  std::size_t settledFiles = 0;
  for (int cycle = 1; cycle <= kCycles; ++cycle) {
    SCOPED_TRACE("cycle " + std::to_string(cycle));
    module.Load();
    ASSERT_NO_FATAL_FAILURE(UseModule(HostCalls(module.Exports())));
    module.Unload();
    if (cycle % 100 == 0) {
      ASSERT_FALSE(IsMapped(module.ModulePath()));
      ASSERT_FALSE(IsMapped(filter));
    }
    if (cycle == kSettledCycle) {
      settledKilobytes = ResidentKilobytes();
      settledFiles = OpenFileCount();
    }
  }

  EXPECT_EQ(OpenFileCount(), settledFiles);
  const std::size_t finalKilobytes = ResidentKilobytes();
  std::cout << "[          ] resident " << settledKilobytes << " KiB after cycle " << kSettledCycle << ", "
            << finalKilobytes << " KiB after cycle " << kCycles << "\n";
  if (!kBuiltWithAddressSanitizer) {
    EXPECT_LT(finalKilobytes, settledKilobytes + kAllowedGrowthKilobytes);
  }
}

}  // namespace
}  // namespace vexa::test

// Where Parser_Next's strings come from: ib_util_malloc of the server's
// utility library (libib_util.so, ib_util.dll on Windows) found by the
// system's search, else of the one beside the module, else the C library's
// malloc; a utility library without ib_util_malloc ends the search and
// leaves no allocator (null strings, handles still work).
//
// The search by bare name follows LD_LIBRARY_PATH (PATH on Windows), which
// the loader reads at process start, so those cases run tools/vexa/vexa in a
// process of its own. The others run here, and mean something only when
// this system has no utility library of its own.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "host_calls.h"
#include "ib_util_stand_ins.h"
#include "loaded_module.h"
#include "support/host/loaded_objects.h"
#include "system_names.h"
#include "vexa_runner.h"
#include "word_records.h"

namespace vexa::test {
namespace {

const std::filesystem::path& kCountingIbUtil = CountingIbUtilPath();
const std::filesystem::path& kIbUtilWithoutMalloc = IbUtilWithoutMallocPath();
const std::string& kIbUtilName = IbUtilName();

// For the cases that run in this process: a utility library of the system
// would be found by name first and hide the others.
class WithoutSystemIbUtil : public ::testing::Test {
 protected:
  void SetUp() override {
    if (SystemHasIbUtil()) {
      GTEST_SKIP() << "this system has a " << kIbUtilName << " of its own, which the module finds by name first; "
                      "the module's own directory and the malloc fallback cannot be reached here";
    }
  }
};

using ResultAllocatorInModuleDirectory = WithoutSystemIbUtil;
using ResultAllocatorNowhere = WithoutSystemIbUtil;

// ---------------------------------------------------------------------------
// Found by the system's search (LD_LIBRARY_PATH, or PATH on Windows), in a
// process of its own.

TEST(ResultAllocatorByName, EveryStringComesFromIbUtilMalloc) {
  const VexaRunner vexaCall;
  const ProcessResult result =
      vexaCall.Run({"split", "alpha beta"}, {{kLibrarySearchVariable, kCountingIbUtil.parent_path().string()},
                                              {"VEXA_TEST_IB_UTIL_TRACE", "1"}});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::vector<std::string> lines = Lines(result.out);
  ASSERT_EQ(lines.size(), 4u) << result.out;
  EXPECT_EQ(lines[0], "ALPHA");
  EXPECT_EQ(lines[1], "BETA");
  EXPECT_EQ(lines[2], CrcLine({"ALPHA", "BETA"}));
  EXPECT_EQ(lines[3], AllocatorLine(kCountingIbUtil));
  // One call for each Parser_Next, the closing empty string included: the
  // word's length and its NUL.
  EXPECT_EQ(Lines(result.err), (std::vector<std::string>{"ib_util_malloc(6)", "ib_util_malloc(5)", "ib_util_malloc(1)"}));
}

TEST(ResultAllocatorByName, IbUtilWithoutMallocLeavesNoAllocator) {
  const VexaRunner vexaCall;
  const ProcessResult result =
      vexaCall.Run({"split", "alpha beta"}, {{kLibrarySearchVariable, kIbUtilWithoutMalloc.parent_path().string()}});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  // No word can be returned; the handle, the text and the CRC work as ever.
  EXPECT_EQ(Lines(result.out), (std::vector<std::string>{CrcLine({"ALPHA", "BETA"}), kNoAllocatorLine}));
}

TEST(ResultAllocatorByName, TakesPrecedenceOverTheModuleDirectory) {
  const VexaRunner vexaCall({ExtraFile::Copy(kIbUtilWithoutMalloc, kIbUtilName)});
  const ProcessResult result =
      vexaCall.Run({"split", "alpha"}, {{kLibrarySearchVariable, kCountingIbUtil.parent_path().string()},
                                         {"VEXA_TEST_IB_UTIL_TRACE", "1"}});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(Lines(result.out),
            (std::vector<std::string>{"ALPHA", CrcLine({"ALPHA"}), AllocatorLine(kCountingIbUtil)}));
  EXPECT_EQ(Lines(result.err), (std::vector<std::string>{"ib_util_malloc(6)", "ib_util_malloc(1)"}));
}

TEST(ResultAllocatorByName, WithoutMallocTheModuleDirectoryIsNotTried) {
  const VexaRunner vexaCall({ExtraFile::Copy(kCountingIbUtil, kIbUtilName)});
  const ProcessResult result =
      vexaCall.Run({"split", "alpha"}, {{kLibrarySearchVariable, kIbUtilWithoutMalloc.parent_path().string()},
                                         {"VEXA_TEST_IB_UTIL_TRACE", "1"}});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(Lines(result.out), (std::vector<std::string>{CrcLine({"ALPHA"}), kNoAllocatorLine}));
  EXPECT_EQ(result.err, "");
}

// ---------------------------------------------------------------------------
// Beside the module, and none at all, in this process.

TEST_F(ResultAllocatorInModuleDirectory, EveryStringComesFromIbUtilMalloc) {
  const LoadedModule module({ExtraFile::Copy(kCountingIbUtil, kIbUtilName)});
  EXPECT_EQ(vexa::host::LoadedObjectPath(kIbUtilName), (module.Directory() / kIbUtilName).string());
  const CountingIbUtil ibUtil;
  ASSERT_TRUE(ibUtil.Loaded());

  const HostCalls vexa(module.Exports());
  const std::int32_t handle = vexa.Create();
  ASSERT_EQ(vexa.Add(handle, "alpha " + std::string(40, 'z')), 1);
  ASSERT_EQ(vexa.Reset(handle), 1);
  const std::int32_t badHandle = 99;
  const std::int32_t handles[] = {handle, handle, handle, badHandle};
  const long sizes[] = {6, 32, 1, 1};  // ALPHA, the 40-byte word cut to 31, the end, a bad handle
  for (std::size_t i = 0; i < 4; ++i) {
    const int callsBefore = ibUtil.Calls();
    char* result = module.Exports().Parser_Next(&handles[i]);
    ASSERT_NE(result, nullptr) << "call " << i;
    EXPECT_EQ(ibUtil.Calls(), callsBefore + 1) << "call " << i;
    EXPECT_EQ(ibUtil.SizeOf(result), sizes[i]) << "call " << i;
    EXPECT_EQ(static_cast<long>(std::strlen(result)) + 1, sizes[i]) << "call " << i;
    std::free(result);
  }
}

TEST_F(ResultAllocatorInModuleDirectory, IbUtilWithoutMallocLeavesNoAllocator) {
  const LoadedModule module({ExtraFile::Copy(kIbUtilWithoutMalloc, kIbUtilName)});
  const vexa::host::VexaExports& exports = module.Exports();
  const HostCalls vexa(exports);

  const std::int32_t first = vexa.Create();
  const std::int32_t second = vexa.CreateQuery();
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 2);
  ASSERT_EQ(vexa.Add(first, "alpha beta"), 1);
  EXPECT_EQ(vexa.Crc(first), StreamCrcOf({"ALPHA", "BETA"}));
  ASSERT_EQ(vexa.Reset(first), 1);
  const std::int32_t badHandle = 99;
  EXPECT_EQ(exports.Parser_Next(&first), nullptr);
  EXPECT_EQ(exports.Parser_Next(&second), nullptr);
  EXPECT_EQ(exports.Parser_Next(&badHandle), nullptr);
  EXPECT_EQ(vexa.SoundEx("Rupert"), 874958);
  EXPECT_EQ(vexa.Free(first), 1);
  EXPECT_EQ(vexa.Free(second), 1);
}

TEST_F(ResultAllocatorNowhere, StringsComeFromMalloc) {
  const LoadedModule module;
  EXPECT_EQ(vexa::host::LoadedObjectPath(kIbUtilName), "");
  const HostCalls vexa(module.Exports());
  // Next frees every string with free(): a string from any other heap would
  // show under a memory checker, a null one fails the test.
  EXPECT_EQ(vexa.Split("alpha beta", ParserKind::kDocument), (std::vector<std::string>{"ALPHA", "BETA"}));
  EXPECT_EQ(vexa.Next(77), "");
}

TEST_F(ResultAllocatorNowhere, VexaSplitReportsMalloc) {
  const VexaRunner vexaCall;
  const ProcessResult result = vexaCall.Run({"split", "alpha"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(Lines(result.out),
            (std::vector<std::string>{"ALPHA", CrcLine({"ALPHA"}), "allocator: malloc of the C library"}));
}

}  // namespace
}  // namespace vexa::test

// Where Windows finds ib_util.dll by its bare name, besides PATH: a module
// of that name already loaded in the process is taken first, and then the
// directory of the program (the server's .exe) comes before the system's
// directories. The module's own directory is not searched by name: it is
// only the allocator binding's second step.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "host_calls.h"
#include "ib_util_stand_ins.h"
#include "loaded_module.h"
#include "support/host/loaded_objects.h"
#include "support/host/system_library.h"
#include "support/host/temp_directory.h"
#include "vexa_runner.h"

namespace vexa::test {
namespace {

using OutputLines = std::vector<std::string>;

// A copy of vexa with `ibUtil` beside it as ib_util.dll.
class ProgramWithIbUtil {
 public:
  explicit ProgramWithIbUtil(const std::filesystem::path& ibUtil)
      : program_(directory_.CopyIn(BuiltVexaPath(), BuiltVexaPath().filename().string())),
        ibUtil_(directory_.CopyIn(ibUtil, IbUtilName())) {}

  const std::filesystem::path& Program() const { return program_; }
  const std::filesystem::path& IbUtil() const { return ibUtil_; }

 private:
  vexa::host::TempDirectory directory_;
  std::filesystem::path program_;
  std::filesystem::path ibUtil_;
};

TEST(ResultAllocatorBesideTheProgram, IsFoundByNameBeforeTheModuleDirectory) {
  const ProgramWithIbUtil program(CountingIbUtilPath());
  const VexaRunner vexaCall({ExtraFile::Copy(IbUtilWithoutMallocPath(), IbUtilName())});
  const ProcessResult result =
      vexaCall.RunCopy(program.Program(), {"split", "alpha beta"}, {{"VEXA_TEST_IB_UTIL_TRACE", "1"}});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(Lines(result.out),
            (OutputLines{"ALPHA", "BETA", CrcLine({"ALPHA", "BETA"}), AllocatorLine(program.IbUtil())}));
  EXPECT_EQ(Lines(result.err), (OutputLines{"ib_util_malloc(6)", "ib_util_malloc(5)", "ib_util_malloc(1)"}));
}

TEST(ResultAllocatorBesideTheProgram, WithoutMallocTheModuleDirectoryIsNotTried) {
  const ProgramWithIbUtil program(IbUtilWithoutMallocPath());
  const VexaRunner vexaCall({ExtraFile::Copy(CountingIbUtilPath(), IbUtilName())});
  const ProcessResult result =
      vexaCall.RunCopy(program.Program(), {"split", "alpha"}, {{"VEXA_TEST_IB_UTIL_TRACE", "1"}});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(Lines(result.out), (OutputLines{CrcLine({"ALPHA"}), kNoAllocatorLine}));
  EXPECT_EQ(result.err, "");
}

TEST(ResultAllocatorAlreadyLoaded, IsTakenBeforeTheModuleDirectory) {
  // The host loaded its utility library before the module, from a directory
  // of its own; the module beside a utility library without ib_util_malloc
  // binds the one in the process all the same.
  std::string error;
  void* hostsIbUtil = vexa::host::OpenLibraryFile(CountingIbUtilPath().string(), error);
  ASSERT_NE(hostsIbUtil, nullptr) << error;
  {
    const LoadedModule module({ExtraFile::Copy(IbUtilWithoutMallocPath(), IbUtilName())});
    EXPECT_FALSE(vexa::host::IsMapped(module.Directory() / IbUtilName()));
    const CountingIbUtil ibUtil;
    ASSERT_TRUE(ibUtil.Loaded());
    const HostCalls vexa(module.Exports());
    const int callsBefore = ibUtil.Calls();
    EXPECT_EQ(vexa.Split("alpha beta", ParserKind::kDocument), (OutputLines{"ALPHA", "BETA"}));
    EXPECT_EQ(ibUtil.Calls(), callsBefore + 3) << "ALPHA, BETA and the closing empty string";
  }
  // The module released its own reference at unload; the host's stands.
  EXPECT_TRUE(vexa::host::IsMapped(CountingIbUtilPath()));
  vexa::host::CloseLibrary(hostsIbUtil);
  EXPECT_FALSE(vexa::host::IsMapped(CountingIbUtilPath()));
}

}  // namespace
}  // namespace vexa::test

// Filter names in Vexa.ini on Windows: a name whose second character is a
// colon starts with a drive letter and is the library's full path, used as
// it stands (under Wine, drive Z: is the root of the host's files and C: the
// Wine prefix); every other name is looked for by its file name in the
// module's directory.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "host_calls.h"
#include "loaded_module.h"
#include "support/host/loaded_objects.h"
#include "support/host/temp_directory.h"
#include "system_names.h"

namespace vexa::test {
namespace {

using Words = std::vector<std::string>;

const std::string kFilterFile = ModuleFileName("strip_final_s_filter");

std::filesystem::path BuiltFilter() { return std::filesystem::path(TEST_FILTER_DIRECTORY) / kFilterFile; }

ExtraFile IniNaming(const std::string& name) {
  return ExtraFile::Written("Vexa.ini", "[Main]\nMinWordLen=2\n[Filters]\n" + name + "=\n");
}

std::string WithSmallDriveLetter(std::string path) {
  path[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
  return path;
}

// A copy of the filter in a directory of its own, not the module's.
class FilterElsewhere : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GE(filterPath_.size(), 3u);
    ASSERT_EQ(filterPath_[1], ':') << filterPath_;
  }

  vexa::host::TempDirectory elsewhere_;
  const std::string filterPath_ = elsewhere_.CopyIn(BuiltFilter(), kFilterFile).string();
};

TEST_F(FilterElsewhere, ADriveLetterPathLoadsTheLibraryFromThere) {
  for (const std::string& name : {filterPath_, WithSmallDriveLetter(filterPath_)}) {
    LoadedModule module({IniNaming(name)});
    ASSERT_FALSE(std::filesystem::exists(module.Directory() / kFilterFile));
    EXPECT_EQ(HostCalls(module.Exports()).Split("books", ParserKind::kDocument), Words{"BOOK"}) << name;
    EXPECT_TRUE(vexa::host::IsMapped(filterPath_)) << name;
    module.Unload();
    EXPECT_FALSE(vexa::host::IsMapped(filterPath_)) << "released at unload: " << name;
  }
}

TEST(FilterPaths, ADriveLetterPathIsNotLookedForInTheModuleDirectory) {
  // The file is beside the module, but the name names another directory.
  const std::string absent = "C:\\vexa-no-such-directory\\" + kFilterFile;
  ASSERT_FALSE(std::filesystem::exists(absent));
  const LoadedModule module({IniNaming(absent), ExtraFile::Copy(BuiltFilter(), kFilterFile)});
  EXPECT_EQ(HostCalls(module.Exports()).Split("books", ParserKind::kDocument), Words{"BOOKS"});
}

}  // namespace
}  // namespace vexa::test

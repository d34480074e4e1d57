#include "support/module_layout.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/host/temp_directory.h"

namespace vexa::support {
namespace {

std::string Contents(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

TEST(LayOutModule, CopiesTheModulesAndLaysTheFilesBesideThemInOrder) {
  const vexa::host::TempDirectory built;
  const std::filesystem::path module = built.Write("Module.bin", "module bytes");
  const std::filesystem::path udr = built.Write("udr.bin", "udr bytes");
  const std::filesystem::path filter = built.Write("filter.bin", "filter bytes");

  const vexa::host::TempDirectory directory;
  const auto copies = LayOutModule(directory.Path(), {module, udr},
                                   {ExtraFile::Written(kIniFileName, "[Main]\r\nfirst\r\n"), ExtraFile::Copy(filter),
                                    ExtraFile::Copy(filter, "renamed.bin"), ExtraFile::Written(kTokenListFileName, ""),
                                    ExtraFile::Written(kIniFileName, "[Main]\r\nlast\r\n")});
  ASSERT_EQ(copies, (std::vector<std::filesystem::path>{directory.Path() / "Module.bin", directory.Path() / "udr.bin"}));
  EXPECT_EQ(Contents(copies[0]), "module bytes");
  EXPECT_EQ(Contents(copies[1]), "udr bytes");
  EXPECT_EQ(Contents(directory.Path() / "filter.bin"), "filter bytes");
  EXPECT_EQ(Contents(directory.Path() / "renamed.bin"), "filter bytes");
  EXPECT_TRUE(std::filesystem::is_regular_file(directory.Path() / "Vexa_tkn.lst")) << "an empty list is still a file";
  EXPECT_EQ(Contents(directory.Path() / "Vexa.ini"), "[Main]\r\nlast\r\n") << "the later file of a name wins";

  EXPECT_ANY_THROW(LayOutModule(directory.Path(), {built.Path() / "missing.bin"}, {}));
  EXPECT_ANY_THROW(LayOutModule(directory.Path() / "no such directory", {}, {ExtraFile::Written(kIniFileName, "")}));
}

}  // namespace
}  // namespace vexa::support

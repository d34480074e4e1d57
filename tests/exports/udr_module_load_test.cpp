// The UDR module loaded and unloaded by the system's loader, as the engine
// does before and after it calls firebird_udr_plugin: with a configuration,
// word lists and a filter beside it, it reads them while loading, exports
// its one entry, leaves the UDF module's result allocator (the server's
// utility library) unloaded, and unloads cleanly, again and again. This much runs
// without a Firebird server (also under Wine, for the Windows DLL).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/host/system_library.h"
#include "support/host/temp_directory.h"
#include "support/module_layout.h"

namespace {

TEST(UdrModule, LoadsWithItsConfigurationAndUnloadsAgainAndAgain) {
  const std::filesystem::path built = VEXA_UDR_MODULE_PATH;
  const std::filesystem::path filter =
      std::filesystem::path(TEST_FILTER_DIRECTORY) / ("strip_final_s_filter" + built.extension().string());
  using vexa::support::ExtraFile;
  const vexa::support::ExtraFiles files = {
      ExtraFile::Copy(filter),
      ExtraFile::Written("Vexa.ini", "[Main]\r\nMinWordLen=3\r\n[Filters]\r\n" + filter.filename().string() + "=\r\n"),
      ExtraFile::Written("Vexa_skip.lst", "the\r\nand\r\n"),
      ExtraFile::Written("Vexa_tkn.lst", "TCP/IP\r\n")};
  const vexa::host::TempDirectory directory;
  const std::filesystem::path module = vexa::support::LayOutModule(directory.Path(), {built}, files).front();
  for (int cycle = 0; cycle < 3; ++cycle) {
    std::string error;
    void* library = vexa::host::OpenLibraryFile(module.string(), error);
    ASSERT_NE(library, nullptr) << error;
    EXPECT_NE(vexa::host::LibraryExport(library, "firebird_udr_plugin"), nullptr);
    EXPECT_EQ(vexa::host::LibraryExport(library, "Parser_Create"), nullptr) << "the UDR module exports one entry";
    void* utilityLibrary = vexa::host::OpenLoadedLibrary(vexa::host::kServerUtilityLibrary);
    EXPECT_EQ(utilityLibrary, nullptr) << "the UDR module loaded " << vexa::host::kServerUtilityLibrary;
    if (utilityLibrary != nullptr) vexa::host::CloseLibrary(utilityLibrary);
    vexa::host::CloseLibrary(library);
  }
}

}  // namespace

// Loading, using and unloading the module again and again in one process, as
// a server does when it releases and reloads its external functions: every
// unload really unmaps the module, and every load starts with an empty
// handle table. Parsers are left unfreed on purpose: unload must destroy
// them (a memory checker running this test sees what it does not).
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "host_calls.h"
#include "loaded_module.h"

namespace vexa_test {
namespace {

constexpr int kRounds = 100;

// True when a mapping of `file` is listed in /proc/self/maps.
bool IsMapped(const std::filesystem::path& file) {
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);) {
    const std::size_t pathStart = line.find('/');
    if (pathStart != std::string::npos && line.compare(pathStart, std::string::npos, file.string()) == 0) return true;
  }
  return false;
}

// What one round leaves behind: two parsers with words, one freed.
void UseAndLeaveParsers(const HostCalls& vexa, int round) {
  // Nothing of the previous round's parsers is left.
  for (std::int32_t handle = 1; handle <= 3; ++handle) ASSERT_EQ(vexa.Reset(handle), 0) << "handle " << handle;
  ASSERT_EQ(vexa.Create(), 1);
  ASSERT_EQ(vexa.Crc(1), 0xFFFFFFFFu);
  ASSERT_EQ(vexa.CreateQuery(), 2);
  ASSERT_EQ(vexa.Create(), 3);

  std::string text;
  for (int i = 0; i < 500; ++i) text += "word" + std::to_string(round * 1000 + i) + " ";
  ASSERT_EQ(vexa.Add(1, text), 1);
  ASSERT_EQ(vexa.Add(2, "a query x"), 1);
  ASSERT_EQ(vexa.Add(3, "freed parser"), 1);
  ASSERT_EQ(vexa.Reset(1), 1);
  ASSERT_EQ(vexa.Next(1), "WORD" + std::to_string(round * 1000));
  ASSERT_EQ(vexa.Free(3), 1);
  ASSERT_EQ(vexa.SoundEx("Robert"), 874958);
}

TEST(ModuleReload, EveryUnloadUnmapsAndEveryLoadStartsFresh) {
  LoadedModule module;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    module.Load();
    ASSERT_TRUE(IsMapped(module.ModulePath()));
    ASSERT_NO_FATAL_FAILURE(UseAndLeaveParsers(HostCalls(module.Exports()), round));
    module.Unload();
    ASSERT_FALSE(IsMapped(module.ModulePath())) << "the module stayed mapped after dlclose";
  }
}

}  // namespace
}  // namespace vexa_test

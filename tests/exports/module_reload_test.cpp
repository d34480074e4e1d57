// Loading, using and unloading the module again and again in one process, as
// a server does when it releases and reloads its external functions: every
// unload really unmaps the module, and every load starts with an empty
// handle table. Parsers are left unfreed on purpose: unload must destroy
// them (a memory checker running this test sees what it does not).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "host_calls.h"
#include "loaded_module.h"
#include "support/host/loaded_objects.h"

namespace vexa::test {
namespace {

constexpr int kRounds = 100;

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
    ASSERT_TRUE(vexa::host::IsMapped(module.ModulePath()));
    ASSERT_NO_FATAL_FAILURE(UseAndLeaveParsers(HostCalls(module.Exports()), round));
    module.Unload();
    ASSERT_FALSE(vexa::host::IsMapped(module.ModulePath())) << "the module stayed mapped after its release";
  }
}

}  // namespace
}  // namespace vexa::test

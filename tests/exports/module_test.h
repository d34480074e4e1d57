// Test fixture: every test gets its own freshly loaded copy of the module.
#pragma once

#include <gtest/gtest.h>

#include "host_calls.h"
#include "loaded_module.h"

namespace vexa::test {

class ModuleTest : public ::testing::Test {
 protected:
  LoadedModule module_;
  HostCalls vexa_{module_.Exports()};
};

template <typename Param>
class ModuleTestWithParam : public ModuleTest, public ::testing::WithParamInterface<Param> {};

}  // namespace vexa::test

// Start-up and shutdown of the UDR module. The platform calls OnModuleLoad on
// the loading thread before the engine can call a routine, and
// OnModuleUnload after the last one.
#include "frame/udr/udr_module.h"

#include <memory>

#include "frame/udr/routine_error.h"
#include "platform/platform.h"

namespace vexa {
namespace udr {
namespace {

ModuleConfiguration* g_configuration = nullptr;

}  // namespace

const ModuleConfiguration& StartedConfiguration() {
  if (g_configuration == nullptr) throw RoutineError("the module could not start (out of memory while loading)");
  return *g_configuration;
}

}  // namespace udr

namespace platform {

void OnModuleLoad() noexcept {
  try {
    auto configuration = std::make_unique<ModuleConfiguration>();
    ReadModuleConfiguration(*configuration);
    udr::g_configuration = configuration.release();
  } catch (...) {
    // Out of memory while loading: every routine reports it.
  }
}

void OnModuleUnload() noexcept {
  ModuleConfiguration* configuration = udr::g_configuration;
  udr::g_configuration = nullptr;
  delete configuration;
}

}  // namespace platform
}  // namespace vexa

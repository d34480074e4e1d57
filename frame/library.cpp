// Start-up and shutdown of the UDF module. The platform calls OnModuleLoad on
// the loading thread before any export can run, and OnModuleUnload after the
// last one.
#include "frame/library.h"

#include <memory>

#include "platform/platform.h"

namespace vexa {
namespace {

Library* g_library = nullptr;

}  // namespace

Library* LoadedLibrary() { return g_library; }

namespace platform {

void OnModuleLoad() noexcept {
  try {
    auto library = std::make_unique<Library>();
    ReadModuleConfiguration(library->configuration);
    library->udfLib.Start(library->configuration.directory);
    g_library = library.release();
  } catch (...) {
    // Out of memory while loading: no state, and every export answers as
    // for a bad handle.
  }
}

// Destroys the parsers before the filters they call are unloaded; the
// configuration goes last, after the library that supplied the allocator.
void OnModuleUnload() noexcept {
  Library* library = g_library;
  g_library = nullptr;
  if (library == nullptr) return;
  library->handles.DestroyAll();
  library->udfLib.Stop();
  delete library;
}

}  // namespace platform
}  // namespace vexa

// Start-up and shutdown. The platform calls OnModuleLoad on the loading
// thread before any export can run, and OnModuleUnload after the last one.
#include "frame/library.h"

#include <memory>

#include "platform/platform.h"

namespace vexa {
namespace {

Library* g_library = nullptr;

// Destroys the parsers, unloads the filters in list order, releases the word
// lists, then releases the library that supplied the result allocator.
void Shutdown(Library& library) {
  library.handles.DestroyAll();
  library.settings.filters.UnloadAll();
  library.settings.wordTable = TWordLookupTable();
  library.udfLib.Stop();
}

}  // namespace

Library* LoadedLibrary() { return g_library; }

namespace platform {

void OnModuleLoad() noexcept {
  try {
    auto library = std::make_unique<Library>();
    library->udfLib.Start();
    // The settings start with their built-in values; Vexa.ini is not read.
    g_library = library.release();
  } catch (...) {
    // Out of memory while loading: no state, and every export answers as
    // for a bad handle.
  }
}

void OnModuleUnload() noexcept {
  Library* library = g_library;
  g_library = nullptr;
  if (library == nullptr) return;
  Shutdown(*library);
  delete library;
}

}  // namespace platform
}  // namespace vexa

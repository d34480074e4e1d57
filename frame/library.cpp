// Start-up and shutdown. The platform calls OnModuleLoad on the loading
// thread before any export can run, and OnModuleUnload after the last one.
#include "frame/library.h"

#include <memory>

#include "config/configuration.h"
#include "platform/platform.h"

namespace vexa {
namespace {

Library* g_library = nullptr;

// Reads Vexa.ini, when the library directory holds one, over the built-in
// settings. Without it no filter and no word list is loaded, even where the
// list files exist.
void ReadConfigurationIfPresent(Library& library) {
  const std::string& directory = library.udfLib.LibraryDirectory();
  if (directory.empty()) return;
  const TConfigFile config(directory + kConfigFileName);
  if (!platform::IsExistingFile(config.Path())) return;
  try {
    ReadConfiguration(config, directory, library.settings);
  } catch (...) {
    // Out of memory part-way: the library goes on with the settings made so far.
  }
}

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
    ReadConfigurationIfPresent(*library);
    const TEngineSettings& settings = library->settings;
    library->soundCoder = std::make_unique<TSoundCoder>(settings.nationalLetters, settings.translationLetters);
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

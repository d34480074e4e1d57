#include "frame/udr/module_analyzer.h"

#include <memory>

#include "frame/udr/routine_error.h"
#include "index/parser_analyzer.h"
#include "platform/mutex.h"

namespace vexa::udr {
namespace {

platform::Mutex g_lock;
std::unique_ptr<TEngineSettings> g_prefixSettings;
std::unique_ptr<index::ParserAnalyzer> g_analyzers[2];

// REQUIRES: g_lock is held.
const TEngineSettings& PrefixSettingsLocked(const Library& library) {
  if (!g_prefixSettings) g_prefixSettings = index::SettingsWithoutFilters(library.settings);
  return *g_prefixSettings;
}

}  // namespace

Library& StartedLibrary() {
  Library* library = LoadedLibrary();
  if (library == nullptr) throw RoutineError("the module could not start (out of memory while loading)");
  return *library;
}

const TEngineSettings& PrefixSettings() {
  const Library& library = StartedLibrary();
  platform::MutexGuard guard(g_lock);
  return PrefixSettingsLocked(library);
}

const index::TextAnalyzer& ModuleAnalyzer(TextEncoding encoding) {
  const Library& library = StartedLibrary();
  const std::size_t slot = encoding == TextEncoding::kUtf8 ? 1 : 0;
  platform::MutexGuard guard(g_lock);
  if (!g_analyzers[slot]) {
    g_analyzers[slot] = std::make_unique<index::ParserAnalyzer>(library.settings, PrefixSettingsLocked(library),
                                                                *library.soundCoder, encoding);
  }
  return *g_analyzers[slot];
}

}  // namespace vexa::udr

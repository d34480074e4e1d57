#include "frame/udr/module_analyzer.h"

#include <memory>

#include "index/parser_analyzer.h"
#include "platform/mutex.h"

namespace vexa::udr {
namespace {

platform::Mutex g_lock;
std::unique_ptr<TEngineSettings> g_prefixSettings;
std::unique_ptr<index::ParserAnalyzer> g_analyzers[2];

// REQUIRES: g_lock is held.
const TEngineSettings& PrefixSettingsLocked(const ModuleConfiguration& configuration) {
  if (!g_prefixSettings) g_prefixSettings = index::SettingsWithoutFilters(configuration.settings);
  return *g_prefixSettings;
}

}  // namespace

const TEngineSettings& PrefixSettings() {
  const ModuleConfiguration& configuration = StartedConfiguration();
  platform::MutexGuard guard(g_lock);
  return PrefixSettingsLocked(configuration);
}

const index::TextAnalyzer& ModuleAnalyzer(TextEncoding encoding) {
  const ModuleConfiguration& configuration = StartedConfiguration();
  const std::size_t slot = encoding == TextEncoding::kUtf8 ? 1 : 0;
  platform::MutexGuard guard(g_lock);
  if (!g_analyzers[slot]) {
    g_analyzers[slot] = std::make_unique<index::ParserAnalyzer>(configuration.settings, PrefixSettingsLocked(configuration),
                                                                *configuration.soundCoder, encoding);
  }
  return *g_analyzers[slot];
}

}  // namespace vexa::udr

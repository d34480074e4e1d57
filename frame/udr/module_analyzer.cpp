#include "frame/udr/module_analyzer.h"

#include <memory>

#include "frame/udr/parser_lease.h"
#include "index/parser_analyzer.h"
#include "platform/mutex.h"

namespace vexa::udr {
namespace {

platform::Mutex g_lock;
std::unique_ptr<index::ParserAnalyzer> g_analyzers[2];

}  // namespace

const index::TextAnalyzer& ModuleAnalyzer(TextEncoding encoding) {
  Library& library = StartedLibrary();
  const std::size_t slot = encoding == TextEncoding::kUtf8 ? 1 : 0;
  platform::MutexGuard guard(g_lock);
  if (!g_analyzers[slot]) {
    g_analyzers[slot] = std::make_unique<index::ParserAnalyzer>(library.settings, *library.soundCoder, encoding);
  }
  return *g_analyzers[slot];
}

}  // namespace vexa::udr

#include "frame/udr/module_analyzer.h"

#include <map>
#include <memory>

#include "analysis/analyzer_factory.h"
#include "frame/udr/routine_error.h"
#include "analysis/windows1251_analyzer.h"
#include "platform/mutex.h"
#include "support/windows1251_utf8.h"

namespace vexa::udr {
namespace {

// The engine's ids of the character sets a Unicode analyzer reads.
constexpr unsigned kCharsetNone = 0;
constexpr unsigned kCharsetOctets = 1;
constexpr unsigned kCharsetAscii = 2;
constexpr unsigned kCharsetUnicodeFss = 3;
constexpr unsigned kCharsetUtf8 = 4;
constexpr unsigned kCharsetWin1251 = 52;

platform::Mutex g_lock;
std::unique_ptr<TEngineSettings> g_prefixSettings;
std::unique_ptr<analysis::Windows1251Analyzer> g_analyzers[2];
std::map<std::string, std::unique_ptr<index::TextAnalyzer>> g_namedAnalyzers;  // by recorded name

// REQUIRES: g_lock is held.
const TEngineSettings& PrefixSettingsLocked(const ModuleConfiguration& configuration) {
  if (!g_prefixSettings) g_prefixSettings = analysis::SettingsWithoutFilters(configuration.settings);
  return *g_prefixSettings;
}

bool IsUtf8Database(const std::string& charset) { return charset == "UTF8" || charset == "UNICODE_FSS"; }

// The analyzer `choice` names, made the first time it is asked for. Throws
// AnalyzerError. REQUIRES: !choice.IsWindows1251().
const index::TextAnalyzer& NamedAnalyzer(const analysis::AnalyzerChoice& choice) {
  const ModuleConfiguration& configuration = StartedConfiguration();
  const std::string key = choice.Canonical();
  platform::MutexGuard guard(g_lock);
  std::unique_ptr<index::TextAnalyzer>& made = g_namedAnalyzers[key];
  if (!made) made = analysis::MakeAnalyzer(choice, configuration.directory);
  return *made;
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
    g_analyzers[slot] = std::make_unique<analysis::Windows1251Analyzer>(configuration.settings, PrefixSettingsLocked(configuration),
                                                                *configuration.soundCoder, encoding);
  }
  return *g_analyzers[slot];
}

IndexAnalyzer AnalyzerOfIndex(const std::string& indexName, const std::string& stored,
                              const std::string& databaseCharset) {
  IndexAnalyzer analyzer;
  analyzer.name = stored;
  analysis::AnalyzerChoice choice;
  try {
    choice = stored.empty() ? analysis::ParseAnalyzerChoice(analysis::kWindows1251Analyzer)
                          : analysis::ParseAnalyzerChoice(stored);
    if (choice.IsWindows1251()) {
      analyzer.words =
          &ModuleAnalyzer(IsUtf8Database(databaseCharset) ? TextEncoding::kUtf8 : TextEncoding::kSingleByte);
      return analyzer;
    }
    analyzer.readsUtf8 = true;
    analyzer.words = &NamedAnalyzer(choice);
    return analyzer;
  } catch (const analysis::AnalyzerError& error) {
    throw RoutineError("the full-text index " + indexName + " records the analyzer '" + stored +
                       "', which this module cannot use: " + error.what());
  }
}

std::string RecordedAnalyzerName(const std::string& typed, const std::string& databaseCharset) {
  bool blank = true;
  for (const char c : typed) blank = blank && (c == ' ' || c == '\t' || c == '\r' || c == '\n');
  try {
    if (blank) {
      if (!IsUtf8Database(databaseCharset) || !analysis::HasUnicodeAnalyzer()) {
        return analysis::ParseAnalyzerChoice(analysis::kWindows1251Analyzer).Canonical();
      }
      return analysis::ParseAnalyzerChoice(analysis::kUnicodeAnalyzer).Canonical();
    }
    const analysis::AnalyzerChoice choice = analysis::ParseAnalyzerChoice(typed);
    const std::string name = choice.Canonical();
    if (!choice.IsWindows1251()) NamedAnalyzer(choice);
    return name;
  } catch (const analysis::AnalyzerError& error) {
    throw RoutineError(error.what());
  }
}

std::string TextForAnalyzer(const IndexAnalyzer& analyzer, std::string text, unsigned charset) {
  if (!analyzer.readsUtf8) return text;
  switch (charset) {
    case kCharsetNone:
    case kCharsetOctets:
    case kCharsetAscii:
    case kCharsetUnicodeFss:
    case kCharsetUtf8: return text;
    case kCharsetWin1251: return support::Windows1251ToUtf8(text);
    default: break;
  }
  throw RoutineError("the " + analyzer.name +
                     " analyzer reads texts in UTF8 or WIN1251 (or NONE and OCTETS, as UTF-8): cast this text "
                     "to UTF8 (character set id " + std::to_string(charset) + ")");
}

std::string TextFromAnalyzer(const IndexAnalyzer& analyzer, std::string text, unsigned charset) {
  if (!analyzer.readsUtf8 || charset != kCharsetWin1251) return text;
  std::string converted;
  std::size_t at = 0;
  while (at < text.size()) {
    support::Utf8Fault fault;
    std::string bytes(text.size() - at, '\0');
    const std::optional<std::size_t> length =
        support::Utf8ToWindows1251(text.data() + at, text.size() - at, bytes.data(), &fault);
    if (length) {
      converted.append(bytes.data(), *length);
      break;
    }
    // What converts before the fault, then '?' for the character.
    converted += support::Utf8ToWindows1251(std::string_view(text).substr(at, fault.offset));
    converted += '?';
    std::size_t next = at + fault.offset + 1;
    while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) ++next;
    at = next;
  }
  return converted;
}

}  // namespace vexa::udr

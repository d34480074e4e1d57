#include "bench/module_setup/module_ini.h"

namespace vexa::bench {
namespace {

// The 33 capital Cyrillic letters АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЫЭЮЯЬЪ in
// Windows-1251, and the Latin letters they sound as: the module's own
// defaults, which a Vexa.ini without a [SoundEx] section would clear.
constexpr const char* kNationalLetters =
    "\xC0\xC1\xC2\xC3\xC4\xC5\xA8\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF"
    "\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD7\xD8\xD9\xDB\xDD\xDE\xDF\xDC\xDA";
constexpr const char* kTranslationLetters = "ABVGDEEGZIIKLMNOPRSTUFHCHHHIAWAXY";

// Latin letters, digits and underscore as built in, then Ё, ё and А..я.
constexpr const char* kWordSet = "A..Za..z0..9_\xA8\xB8\xC0..\xFF";

}  // namespace

std::string Windows1251ModuleIni(const std::vector<std::string>& filterLibraryNames) {
  std::string ini;
  ini += "[SoundEx]\n";
  ini += std::string("NationSet=") + kNationalLetters + "\n";
  ini += std::string("Translate=") + kTranslationLetters + "\n";
  ini += "\n[Main]\n";
  ini += "MinWordLen=" + std::to_string(kMinWordLength) + "\n";
  ini += std::string("WordSet=") + kWordSet + "\n";
  if (!filterLibraryNames.empty()) {
    // Only the key names count; the values are never read.
    ini += "\n[Filters]\n";
    for (const std::string& name : filterLibraryNames) ini += name + "=\n";
  }
  return ini;
}

}  // namespace vexa::bench

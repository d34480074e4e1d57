#include "test_configurations.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "support/windows1251_utf8.h"

namespace vexa::firebird {
namespace {

using vexa::support::Utf8ToWindows1251;

// Written in UTF-8 here, saved in Windows-1251 as the module reads it.
std::string CyrillicIni(const std::string& mainExtra) {
  return Utf8ToWindows1251("[Main]\r\n" + mainExtra +
                           "WordSet=A..Za..z0..9_ЁёА..я\r\n"
                           "[SoundEx]\r\n"
                           "NationSet=АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЫЭЮЯЬЪ\r\n"
                           "Translate=ABVGDEEGZIIKLMNOPRSTUFHCHHHIAWAXY\r\n");
}

std::string Lines(const std::vector<std::string>& entries) {
  std::string text;
  for (const std::string& entry : entries) text += entry + "\r\n";
  return text;
}

std::string FileBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + path.string());
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

ModuleConfiguration DemoConfiguration() {
  ModuleConfiguration files;
  for (const char* name : {"Vexa.ini", "Vexa_skip.lst", "Vexa_tkn.lst"}) {
    files.push_back(ExtraFile::Written(name, FileBytes(std::filesystem::path(VEXA_DEMO_DIRECTORY) / name)));
  }
  return files;
}

ModuleConfiguration FilterConfiguration() {
  ModuleConfiguration files = DemoConfiguration();
  const std::filesystem::path filter = VEXA_FILTER_PATH;
  files[0].contents += "\r\n[Filters]\r\n" + filter.filename().string() + "=\r\n";
  files.push_back(ExtraFile::Copy(filter));
  return files;
}

ModuleConfiguration CyrillicConfiguration() { return {ExtraFile::Written("Vexa.ini", CyrillicIni(""))}; }

const std::vector<std::string>& ListedStopWords() {
  static const std::vector<std::string> words = {"THE", "AND", "OF", "WITH", "FROM", Utf8ToWindows1251("ЭТО")};
  return words;
}

const std::vector<std::string>& ListedTokens() {
  static const std::vector<std::string> tokens = {"TCP/IP", "C++", "R&D", "CD-ROM"};
  return tokens;
}

ModuleConfiguration ListsConfiguration() {
  // The lists are written in small letters: the module stores them upper-cased.
  return {ExtraFile::Written("Vexa.ini", CyrillicIni("MinWordLen=3\r\n")),
          ExtraFile::Written("Vexa_skip.lst", Lines({"the", "and", "of", "with", "from", Utf8ToWindows1251("это")})),
          ExtraFile::Written("Vexa_tkn.lst", Lines({"tcp/ip", "c++", "r&d", "cd-rom"}))};
}

}  // namespace vexa::firebird

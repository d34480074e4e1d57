#include "configured_module.h"

#include <filesystem>

namespace vexa::test {

ExtraFile TestFilter(const std::string& name) {
  return ExtraFile::Copy(std::filesystem::path(TEST_FILTER_DIRECTORY) / (name + ".so"));
}

ExtraFile MisbehavingFilter() { return ExtraFile::Copy(MISBEHAVING_FILTER_PATH); }

std::vector<ExtraFile> FullConfiguration() {
  const std::string ini =
      "[Main]\r\n"
      "MinWordLen=3\r\n"
      "WordSet=A..Za..z0..9_\xA8\xB8\xC0..\xFF\r\n"
      "[SoundEx]\r\n"
      "NationSet=\xC0\xC1\xC2\xC3\xC4\xC5\xA8\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD7"
      "\xD8\xD9\xDB\xDD\xDE\xDF\xDC\xDA\r\n"
      "Translate=ABVGDEEGZIIKLMNOPRSTUFHCHHHIAWAXY\r\n"
      "[Filters]\r\n"
      "strip_final_s_filter.so=\r\n";
  // "и", "не", "на" and "что" in Windows-1251 among the stop words. Every
  // entry of these two lists finds a slot in the lookup table (vexa lists).
  const std::string stopWords =
      "the\r\nand\r\nof\r\nto\r\nin\r\nis\r\nfor\r\nwith\r\n\xE8\r\n\xED\xE5\r\n\xED\xE0\r\n\xF7\xF2\xEE\r\n";
  const std::string tokens = "TCP/IP\r\nC++\r\nR&D\r\nA.B.C.\r\n\xD1\xD1\xD1\xD0\r\n";
  return {ExtraFile::Written("Vexa.ini", ini), ExtraFile::Written("Vexa_skip.lst", stopWords),
          ExtraFile::Written("Vexa_tkn.lst", tokens), TestFilter("strip_final_s_filter")};
}

}  // namespace vexa::test

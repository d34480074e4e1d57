#include "tools/vexa/analyzer_explanation.h"

#include <cstdio>
#include <stdexcept>

#include "analysis/analyzer_factory.h"

namespace vexa::inspector {

std::string ExplainByAnalyzer(const std::string& analyzer, const std::string& directory, const std::string& text,
                              bool tsv) {
  const analysis::AnalyzerChoice choice = analysis::ParseAnalyzerChoice(analyzer);
  if (choice.IsWindows1251()) {
    throw analysis::AnalyzerError("the win1251 analyzer is the module's own: explain without --analyzer");
  }
  const std::unique_ptr<index::TextAnalyzer> made = analysis::MakeAnalyzer(choice, directory);
  std::string out = tsv ? std::string("begin\tend\twritten\tstored\n")
                        : "analyzer " + choice.Canonical() + "\n  bytes        written                  stored\n";
  std::size_t words = 0;
  made->WordOffsets(text, [&](std::string_view word, std::size_t begin, std::size_t end) {
    const std::string written = text.substr(begin, end - begin);
    char range[48];
    std::snprintf(range, sizeof range, tsv ? "%zu\t%zu\t" : "  %5zu..%-5zu ", begin, end);
    out += range;
    out += written;
    if (tsv) {
      out += '\t';
    } else {
      // Columns counted in characters, not bytes.
      std::size_t characters = 0;
      for (const char byte : written) characters += (static_cast<unsigned char>(byte) & 0xC0) != 0x80 ? 1 : 0;
      out += std::string(characters < 24 ? 25 - characters : 1, ' ');
    }
    out += word;
    out += '\n';
    ++words;
  });
  char crc[64];
  std::snprintf(crc, sizeof crc, "%s%zu words, crc %08X\n", tsv ? "# " : "", words,
                static_cast<unsigned>(made->DocumentWords(text, [](std::string_view) {})));
  return out + crc;
}

}  // namespace vexa::inspector

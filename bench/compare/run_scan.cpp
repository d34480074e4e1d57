#include "bench/compare/run_scan.h"

#include "bench/corpus_words.h"

namespace vexa::compare {

WordCharacterTable ModuleWordCharacterTable() {
  WordCharacterTable table{};
  for (std::size_t byte = 0; byte < table.size(); ++byte) {
    table[byte] = vexa::bench::IsModuleWordCharacter(static_cast<char>(byte)) ? 1 : 0;
  }
  return table;
}

PassResult CountRuns(std::string_view text, const WordCharacterTable& table) {
  std::uint64_t runs = 0;
  std::uint64_t wordCharacters = 0;
  std::uint8_t previous = 0;
  for (const char byte : text) {
    const std::uint8_t current = table[static_cast<unsigned char>(byte)];
    runs += current & (previous ^ 1U);
    wordCharacters += current;
    previous = current;
  }
  return PassResult{static_cast<std::int64_t>(runs), wordCharacters};
}

PassResult CountRunsInDocuments(const std::vector<std::string>& documents, const WordCharacterTable& table) {
  PassResult total;
  for (const std::string& document : documents) {
    const PassResult one = CountRuns(document, table);
    total.words += one.words;
    total.checksum += one.checksum;
  }
  return total;
}

}  // namespace vexa::compare

// The words of a corpus in the order they stand, for calls that take one word
// at a time: every run of letters, Latin or Windows-1251 Cyrillic, as it is
// written, each kept NUL-terminated.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vexa::bench {

class CorpusWords {
 public:
  explicit CorpusWords(const std::string& text);

  std::size_t Count() const { return starts_.size(); }
  const char* Word(std::size_t index) const { return storage_.data() + starts_[index]; }

 private:
  std::string storage_;  // the words, each followed by a NUL
  std::vector<std::size_t> starts_;
};

// A..Z, a..z, and in Windows-1251 Ё (A8), ё (B8) and А..я (C0..FF).
bool IsCorpusLetter(char byte);

// A corpus letter, a digit or the underscore: the word characters of the
// Vexa.ini that the benchmark lays beside the module (module_ini.h).
bool IsModuleWordCharacter(char byte);

}  // namespace vexa::bench

#include "config/word_set.h"

namespace vexa {

TCharSet ParseWordSet(std::string_view text) {
  TCharSet set;
  unsigned char previous = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const bool isRange = text[i] == '.' && i >= 1 && i + 2 < text.size() && text[i + 1] == '.';
    if (isRange) {
      const auto upper = static_cast<unsigned char>(text[i + 2]);
      set.AddRange(previous, upper);
      previous = upper;
      i += 3;
    } else {
      previous = static_cast<unsigned char>(text[i]);
      set.Add(previous);
      i += 1;
    }
  }
  return set;
}

TCharSet TCharSet::DefaultWordCharacters() { return ParseWordSet(kDefaultWordSet); }

}  // namespace vexa

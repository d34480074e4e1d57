#include "bench/corpus/corpus_words.h"

namespace vexa::bench {

bool IsCorpusLetter(char byte) {
  const auto b = static_cast<unsigned char>(byte);
  return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == 0xA8 || b == 0xB8 || b >= 0xC0;
}

bool IsModuleWordCharacter(char byte) { return IsCorpusLetter(byte) || (byte >= '0' && byte <= '9') || byte == '_'; }

CorpusWords::CorpusWords(const std::string& text) {
  storage_.reserve(text.size() + 1);
  bool inWord = false;
  for (char byte : text) {
    if (IsCorpusLetter(byte)) {
      if (!inWord) starts_.push_back(storage_.size());
      storage_.push_back(byte);
      inWord = true;
    } else if (inWord) {
      storage_.push_back('\0');
      inWord = false;
    }
  }
  if (inWord) storage_.push_back('\0');
}

}  // namespace vexa::bench

#include "analysis/unicode_words.h"

#include <utf8proc.h>


namespace vexa::analysis {
namespace {

enum class CharClass { kOther, kLetter, kDigit, kIdeograph, kExtend, kJoiner, kMidLetter, kMidNum, kMidNumLetter };

bool IsIdeographic(utf8proc_int32_t c) {
  return (c >= 0x2E80 && c <= 0x2FDF) ||    // CJK radicals, Kangxi radicals
         (c >= 0x3005 && c <= 0x3007) ||    // iteration mark, closing mark, ideographic zero
         (c >= 0x3040 && c <= 0x30FF) ||    // Hiragana, Katakana
         (c >= 0x3130 && c <= 0x318F) ||    // Hangul compatibility jamo
         (c >= 0x31F0 && c <= 0x31FF) ||    // Katakana phonetic extensions
         (c >= 0x3400 && c <= 0x4DBF) ||    // CJK extension A
         (c >= 0x4E00 && c <= 0x9FFF) ||    // CJK unified ideographs
         (c >= 0x1100 && c <= 0x11FF) ||    // Hangul jamo
         (c >= 0xA960 && c <= 0xA97F) ||    // Hangul jamo extended A
         (c >= 0xAC00 && c <= 0xD7FF) ||    // Hangul syllables, jamo extended B
         (c >= 0xF900 && c <= 0xFAFF) ||    // CJK compatibility ideographs
         (c >= 0xFF66 && c <= 0xFFDC) ||    // halfwidth Katakana and Hangul
         (c >= 0x1B000 && c <= 0x1B16F) ||  // Kana supplement, extended A, small Kana
         (c >= 0x20000 && c <= 0x3134F);    // CJK extensions B to G, compatibility supplement
}

CharClass Classify(utf8proc_int32_t c) {
  switch (c) {
    case 0x0027: case 0x002E: case 0x2018: case 0x2019: case 0x2024: case 0xFE52: case 0xFF07: case 0xFF0E:
      return CharClass::kMidNumLetter;
    case 0x00B7: case 0x0387: case 0x055F: case 0x05F4: case 0x2027:
      return CharClass::kMidLetter;
    case 0x002C: case 0x003B: case 0x037E: case 0x0589: case 0x060C: case 0x060D: case 0x066C: case 0x07F8:
    case 0x2044: case 0xFE10: case 0xFE14: case 0xFE50: case 0xFE54: case 0xFF0C: case 0xFF1B:
      return CharClass::kMidNum;
    default:
      break;
  }
  if (IsIdeographic(c)) return CharClass::kIdeograph;
  switch (utf8proc_category(c)) {
    case UTF8PROC_CATEGORY_LU: case UTF8PROC_CATEGORY_LL: case UTF8PROC_CATEGORY_LT: case UTF8PROC_CATEGORY_LM:
    case UTF8PROC_CATEGORY_LO: case UTF8PROC_CATEGORY_CO:
      return CharClass::kLetter;
    case UTF8PROC_CATEGORY_ND: case UTF8PROC_CATEGORY_NL: case UTF8PROC_CATEGORY_NO:
      return CharClass::kDigit;
    case UTF8PROC_CATEGORY_MN: case UTF8PROC_CATEGORY_MC: case UTF8PROC_CATEGORY_ME: case UTF8PROC_CATEGORY_CF:
      return CharClass::kExtend;
    case UTF8PROC_CATEGORY_PC:
      return CharClass::kJoiner;
    default:
      return CharClass::kOther;
  }
}

// A character with the combining marks and format characters after it.
struct Character {
  CharClass kind = CharClass::kOther;
  std::size_t begin = 0;
  std::size_t end = 0;
};

// Reads the text a character at a time, a few ahead. A combining mark
// with no letter, digit or ideograph before it is a separator of its own.
class CharacterReader {
 public:
  explicit CharacterReader(std::string_view text) : text_(text) {}

  // The character `ahead` places on (0: the next one); kOther past the end.
  const Character& Peek(std::size_t ahead) {
    while (count_ <= ahead) {
      ahead_[(first_ + count_) % kAhead] = Read();
      ++count_;
    }
    return ahead_[(first_ + ahead) % kAhead];
  }
  bool AtEnd() { return Peek(0).begin == text_.size(); }
  void Skip() {
    Peek(0);
    first_ = (first_ + 1) % kAhead;
    --count_;
  }

 private:
  static constexpr std::size_t kAhead = 3;

  Character Read() {
    if (at_ == text_.size()) return {CharClass::kOther, at_, at_};
    const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text_.data());
    Character character = Decode(bytes);
    if (character.kind == CharClass::kExtend) character.kind = CharClass::kOther;  // no base before it
    if (character.kind == CharClass::kLetter || character.kind == CharClass::kDigit ||
        character.kind == CharClass::kIdeograph || character.kind == CharClass::kJoiner) {
      while (at_ < text_.size()) {
        const std::size_t before = at_;
        const Character mark = Decode(bytes);
        if (mark.kind != CharClass::kExtend) {
          at_ = before;
          break;
        }
        character.end = mark.end;
      }
    }
    return character;
  }

  Character Decode(const utf8proc_uint8_t* bytes) {
    utf8proc_int32_t c = -1;
    const utf8proc_ssize_t length = utf8proc_iterate(bytes + at_, static_cast<utf8proc_ssize_t>(text_.size() - at_), &c);
    const std::size_t size = length > 0 ? static_cast<std::size_t>(length) : 1;  // not UTF-8: one byte, a separator
    Character character{length > 0 ? Classify(c) : CharClass::kOther, at_, at_ + size};
    at_ += size;
    return character;
  }

  std::string_view text_;
  std::size_t at_ = 0;
  Character ahead_[kAhead];
  std::size_t first_ = 0;
  std::size_t count_ = 0;
};

bool IsWordCharacter(CharClass kind) {
  return kind == CharClass::kLetter || kind == CharClass::kDigit || kind == CharClass::kJoiner;
}

// Whether the character at `mid`, between `before` and `after`, joins them.
bool Joins(CharClass before, CharClass mid, CharClass after) {
  const bool letters = before == CharClass::kLetter && after == CharClass::kLetter;
  const bool digits = before == CharClass::kDigit && after == CharClass::kDigit;
  if (mid == CharClass::kMidNumLetter) return letters || digits;
  if (mid == CharClass::kMidLetter) return letters;
  if (mid == CharClass::kMidNum) return digits;
  return false;
}

}  // namespace

void ForEachWordSpan(std::string_view text, const std::function<void(WordSpan)>& word) {
  CharacterReader reader(text.substr(0, text.find('\0')));
  while (!reader.AtEnd()) {
    const Character first = reader.Peek(0);
    if (first.kind == CharClass::kIdeograph) {
      reader.Skip();
      if (reader.Peek(0).kind != CharClass::kIdeograph) {
        word({first.begin, first.end});
        continue;
      }
      Character previous = first;
      while (reader.Peek(0).kind == CharClass::kIdeograph) {
        const Character next = reader.Peek(0);
        word({previous.begin, next.end});
        previous = next;
        reader.Skip();
      }
      continue;
    }
    if (!IsWordCharacter(first.kind)) {
      reader.Skip();
      continue;
    }
    bool hasLetterOrDigit = false;
    std::size_t end = first.end;
    for (;;) {
      const Character current = reader.Peek(0);
      hasLetterOrDigit = hasLetterOrDigit || current.kind != CharClass::kJoiner;
      end = current.end;
      reader.Skip();
      if (IsWordCharacter(reader.Peek(0).kind)) continue;
      if (Joins(current.kind, reader.Peek(0).kind, reader.Peek(1).kind)) {
        reader.Skip();
        continue;
      }
      break;
    }
    if (hasLetterOrDigit) word({first.begin, end});
  }
}

}  // namespace vexa::analysis

#include "analysis/unicode_words.h"

#include <utf8proc.h>

#include <array>

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

// Classify of the code points below 0x800, made once.
const std::array<CharClass, 0x800>& SmallClasses() {
  static const std::array<CharClass, 0x800> classes = [] {
    std::array<CharClass, 0x800> made{};
    for (utf8proc_int32_t c = 0; c < 0x800; ++c) made[static_cast<std::size_t>(c)] = Classify(c);
    return made;
  }();
  return classes;
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
  explicit CharacterReader(std::string_view text) : text_(text), classes_(SmallClasses()) { current_ = Read(); }

  // The next character (0) or the one after it (1); kOther past the end.
  const Character& Peek(std::size_t ahead) {
    if (ahead == 0) return current_;
    if (!hasNext_) {
      next_ = Read();
      hasNext_ = true;
    }
    return next_;
  }
  bool AtEnd() const { return current_.begin == text_.size(); }
  // Reads on from byte `at`, a character's first.
  void Reposition(std::size_t at) {
    at_ = at;
    hasPending_ = false;
    hasNext_ = false;
    current_ = Read();
  }
  void Skip() {
    current_ = hasNext_ ? next_ : Read();
    hasNext_ = false;
  }

 private:
  Character Read() {
    Character character = Next();
    if (character.kind == CharClass::kExtend) character.kind = CharClass::kOther;  // no base before it
    if (character.kind == CharClass::kLetter || character.kind == CharClass::kDigit ||
        character.kind == CharClass::kIdeograph || character.kind == CharClass::kJoiner) {
      for (;;) {
        const Character mark = Next();
        if (mark.kind != CharClass::kExtend) {
          pending_ = mark;
          hasPending_ = true;
          break;
        }
        character.end = mark.end;
      }
    }
    return character;
  }

  // The character after the last one read (decoded once, even where a
  // look past a letter for its marks found none); past the end, an empty one.
  Character Next() {
    if (hasPending_) {
      hasPending_ = false;
      return pending_;
    }
    if (at_ == text_.size()) return {CharClass::kOther, at_, at_};
    return Decode(reinterpret_cast<const utf8proc_uint8_t*>(text_.data()));
  }

  Character Decode(const utf8proc_uint8_t* bytes) {
    // Most text is of the first 2048 code points: one or two bytes, their
    // classes read from a table.
    const utf8proc_uint8_t lead = bytes[at_];
    if (lead < 0x80) {
      Character character{classes_[lead], at_, at_ + 1};
      ++at_;
      return character;
    }
    if (lead >= 0xC2 && lead < 0xE0 && at_ + 1 < text_.size() && (bytes[at_ + 1] & 0xC0) == 0x80) {
      const unsigned c = (static_cast<unsigned>(lead & 0x1F) << 6) | (bytes[at_ + 1] & 0x3Fu);
      Character character{classes_[c], at_, at_ + 2};
      at_ += 2;
      return character;
    }
    utf8proc_int32_t c = -1;
    const utf8proc_ssize_t length = utf8proc_iterate(bytes + at_, static_cast<utf8proc_ssize_t>(text_.size() - at_), &c);
    const std::size_t size = length > 0 ? static_cast<std::size_t>(length) : 1;  // not UTF-8: one byte, a separator
    Character character{length > 0 ? Classify(c) : CharClass::kOther, at_, at_ + size};
    at_ += size;
    return character;
  }

  std::string_view text_;
  const std::array<CharClass, 0x800>& classes_;
  std::size_t at_ = 0;
  Character pending_;
  bool hasPending_ = false;
  Character current_;
  Character next_;  // read when first looked at
  bool hasNext_ = false;
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

// The end of the word of ASCII letters and digits that starts at `begin`,
// by the same rules as below; 0 when a byte of another character comes
// before its end is known, which the general way then reads.
std::size_t AsciiWordEnd(std::string_view text, std::size_t begin) {
  const std::array<CharClass, 0x800>& classes = SmallClasses();
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  std::size_t at = begin;
  for (;;) {
    while (at < size && bytes[at] < 0x80 && IsWordCharacter(classes[bytes[at]])) ++at;
    if (at == size) return at;
    if (bytes[at] >= 0x80) return 0;
    const CharClass mid = classes[bytes[at]];
    if (mid != CharClass::kMidLetter && mid != CharClass::kMidNum && mid != CharClass::kMidNumLetter) return at;
    if (at + 1 == size) return at;
    if (bytes[at + 1] >= 0x80) return 0;
    if (!Joins(classes[bytes[at - 1]], mid, classes[bytes[at + 1]])) return at;
    at += 1;
  }
}

}  // namespace

void ForEachWordSpan(std::string_view whole, const std::function<void(WordSpan)>& word) {
  const std::string_view text = whole.substr(0, whole.find('\0'));
  CharacterReader reader(text);
  while (!reader.AtEnd()) {
    const Character first = reader.Peek(0);
    if ((first.kind == CharClass::kLetter || first.kind == CharClass::kDigit) && first.end == first.begin + 1) {
      if (const std::size_t end = AsciiWordEnd(text, first.begin)) {
        word({first.begin, end});
        // ASCII that starts no word (blanks, punctuation) is passed over here.
        std::size_t next = end;
        const std::array<CharClass, 0x800>& classes = SmallClasses();
        while (next < text.size() && static_cast<unsigned char>(text[next]) < 0x80 &&
               classes[static_cast<unsigned char>(text[next])] != CharClass::kLetter &&
               classes[static_cast<unsigned char>(text[next])] != CharClass::kDigit &&
               classes[static_cast<unsigned char>(text[next])] != CharClass::kJoiner) {
          ++next;
        }
        reader.Reposition(next);
        continue;
      }
    }
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

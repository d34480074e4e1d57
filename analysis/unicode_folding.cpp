#include "analysis/unicode_folding.h"

#include <utf8proc.h>

#include <array>

namespace vexa::analysis {
namespace {

constexpr auto kDecompose = static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPAT | UTF8PROC_DECOMPOSE |
                                                           UTF8PROC_CASEFOLD | UTF8PROC_IGNORE);
constexpr auto kCompose = static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE);

// Letters whose marks are accents to a reader of the language: Latin,
// Greek and Cyrillic, with their extensions.
bool HasAccentsToRemove(utf8proc_int32_t base) {
  return base < 0x0530 || (base >= 0x1D00 && base <= 0x1FFF) || (base >= 0x2C60 && base <= 0x2C7F) ||
         (base >= 0xA640 && base <= 0xA7FF) || (base >= 0xAB30 && base <= 0xAB6F);
}

// What a letter that no decomposition splits reads as without its
// stroke or bar, and the typographic apostrophes as the plain one.
utf8proc_int32_t Unaccented(utf8proc_int32_t c) {
  switch (c) {
    case 0x0142: return 'l';   // ł
    case 0x00F8: return 'o';   // ø
    case 0x0111: return 'd';   // đ
    case 0x0127: return 'h';   // ħ
    case 0x0167: return 't';   // ŧ
    case 0x0180: return 'b';   // ƀ
    case 0x01B6: return 'z';   // ƶ
    default: return c;
  }
}

bool IsMark(utf8proc_int32_t c) {
  const utf8proc_category_t category = utf8proc_category(c);
  return category == UTF8PROC_CATEGORY_MN || category == UTF8PROC_CATEGORY_ME;
}

// The folded forms of the code points below kTableEnd (Latin, Greek and
// Cyrillic with their extensions), each folded alone: a word of these
// without combining marks folds as its characters do one by one, since
// case folding maps each alone and composition joins only a mark (or
// Hangul) to what stands before it.
constexpr utf8proc_int32_t kTableEnd = 0x0530;

struct FoldTable {
  std::array<std::string, kTableEnd> folded;
  std::array<unsigned char, kTableEnd> codePoints{};  // of each folded form
  std::array<bool, kTableEnd> isMark{};
};

const FoldTable& SmallFolds(bool keepAccents) {
  static const std::array<FoldTable, 2> tables = [] {
    std::array<FoldTable, 2> made;
    for (int keep = 0; keep < 2; ++keep) {
      WordFolder folder(keep == 1);
      for (utf8proc_int32_t c = 0; c < kTableEnd; ++c) {
        utf8proc_uint8_t encoded[4];
        const utf8proc_ssize_t size = utf8proc_encode_char(c, encoded);
        std::string& folded = made[static_cast<std::size_t>(keep)].folded[static_cast<std::size_t>(c)];
        folded = folder.FoldSlowly(std::string_view(reinterpret_cast<const char*>(encoded), static_cast<std::size_t>(size)));
        std::size_t count = 0;
        for (const char byte : folded) count += (static_cast<unsigned char>(byte) & 0xC0) != 0x80 ? 1 : 0;

        made[static_cast<std::size_t>(keep)].codePoints[static_cast<std::size_t>(c)] = static_cast<unsigned char>(count);
        made[static_cast<std::size_t>(keep)].isMark[static_cast<std::size_t>(c)] = IsMark(c);
      }
    }
    return made;
  }();
  return tables[keepAccents ? 1 : 0];
}

}  // namespace

std::string WordFolder::Fold(std::string_view word) {
  const FoldTable& table = SmallFolds(keepAccents_);
  // Every folded form in the tables is at most 4 bytes; 64 of them fit.
  char folded[kMaxWordCharacters * 4];
  std::size_t length = 0;
  std::size_t characters = 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(word.data());
  for (std::size_t at = 0; at < word.size();) {
    unsigned c = bytes[at];
    std::size_t size = 1;
    if (c >= 0x80) {
      if (c < 0xC2 || c >= 0xE0 || at + 1 >= word.size() || (bytes[at + 1] & 0xC0) != 0x80) return FoldSlowly(word);
      c = ((c & 0x1Fu) << 6) | (bytes[at + 1] & 0x3Fu);
      size = 2;
    }
    if (c < 0x80 && c != '\'' && c != '.' && c != '_') {  // a letter or digit: the table holds at most itself lower-cased
      if (characters == kMaxWordCharacters) break;
      folded[length++] = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
      ++characters;
      ++at;
      continue;
    }
    if (c >= static_cast<unsigned>(kTableEnd) || table.isMark[c]) return FoldSlowly(word);
    const unsigned char count = table.codePoints[c];
    if (characters + count > kMaxWordCharacters) return FoldSlowly(word);  // cut where the slow way cuts
    const std::string& form = table.folded[c];
    if (form.size() > 4) return FoldSlowly(word);
    for (const char byte : form) folded[length++] = byte;
    characters += count;
    at += size;
  }
  return std::string(folded, length);
}

std::string WordFolder::FoldSlowly(std::string_view word) {
  static_assert(sizeof(int) == sizeof(utf8proc_int32_t), "code points are 32-bit");
  const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(word.data());
  const auto length = static_cast<utf8proc_ssize_t>(word.size());
  utf8proc_ssize_t count = 0;
  for (;;) {
    codePoints_.resize(codePoints_.size() < word.size() + 1 ? word.size() + 1 : codePoints_.size());
    count = utf8proc_decompose(bytes, length, reinterpret_cast<utf8proc_int32_t*>(codePoints_.data()),
                               static_cast<utf8proc_ssize_t>(codePoints_.size()) - 1, kDecompose);
    if (count < 0) return std::string();  // not UTF-8: the splitter never gives such a word
    if (static_cast<std::size_t>(count) < codePoints_.size()) break;
    codePoints_.resize(static_cast<std::size_t>(count) + 1);
  }
  std::size_t kept = 0;
  utf8proc_int32_t base = 0;
  for (utf8proc_ssize_t i = 0; i < count; ++i) {
    utf8proc_int32_t c = codePoints_[static_cast<std::size_t>(i)];
    if (c == 0x2019 || c == 0x2018 || c == 0xFF07) c = '\'';
    if (!keepAccents_) c = Unaccented(c);
    if (IsMark(c)) {
      if (!keepAccents_ && HasAccentsToRemove(base)) continue;
    } else {
      base = c;
    }
    codePoints_[kept++] = c;
  }
  auto* buffer = reinterpret_cast<utf8proc_int32_t*>(codePoints_.data());
  kept = static_cast<std::size_t>(utf8proc_normalize_utf32(buffer, static_cast<utf8proc_ssize_t>(kept), kCompose));
  if (kept > kMaxWordCharacters) kept = kMaxWordCharacters;
  std::string folded;
  folded.reserve(kept * 2);
  for (std::size_t i = 0; i < kept; ++i) {
    utf8proc_uint8_t encoded[4];
    const utf8proc_ssize_t size = utf8proc_encode_char(buffer[i], encoded);
    folded.append(reinterpret_cast<const char*>(encoded), static_cast<std::size_t>(size));
  }
  return folded;
}

}  // namespace vexa::analysis

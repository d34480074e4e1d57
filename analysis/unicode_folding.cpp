#include "analysis/unicode_folding.h"

#include <utf8proc.h>

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

}  // namespace

std::string WordFolder::Fold(std::string_view word) {
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

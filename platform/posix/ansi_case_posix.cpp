// Upper-casing and case-insensitive comparison under the ANSI code page
// Windows-1251, byte for byte as Win32 CharUpperBuffA and CompareStringA with
// NORM_IGNORECASE treat it: each byte maps to the byte of its capital letter
// under the Unicode simple case mapping, when that capital is in the code page
// too; every other byte stays as it is.
#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

namespace vexa::platform {
namespace {

struct CasePair {
  std::uint8_t small;
  std::uint8_t capital;
};

// Small letters of Windows-1251 above 0x7F whose capitals are in the code
// page, outside the contiguous а..я (0xE0..0xFF -> 0xC0..0xDF). The micro
// sign 0xB5 has its capital (Greek Mu) outside the code page and stays.
constexpr CasePair kCyrillicOutsideMainBlock[] = {
    {0x90, 0x80},  // ђ Ђ
    {0x83, 0x81},  // ѓ Ѓ
    {0x9A, 0x8A},  // љ Љ
    {0x9C, 0x8C},  // њ Њ
    {0x9D, 0x8D},  // ќ Ќ
    {0x9E, 0x8E},  // ћ Ћ
    {0x9F, 0x8F},  // џ Џ
    {0xA2, 0xA1},  // ў Ў
    {0xBC, 0xA3},  // ј Ј
    {0xB4, 0xA5},  // ґ Ґ
    {0xB8, 0xA8},  // ё Ё
    {0xBA, 0xAA},  // є Є
    {0xBF, 0xAF},  // ї Ї
    {0xB3, 0xB2},  // і І
    {0xBE, 0xBD},  // ѕ Ѕ
};

constexpr std::array<std::uint8_t, 256> MakeUpperTable() {
  std::array<std::uint8_t, 256> table{};
  for (std::size_t b = 0; b < 256; ++b) table[b] = static_cast<std::uint8_t>(b);
  for (std::size_t b = 'a'; b <= 'z'; ++b) table[b] = static_cast<std::uint8_t>(b - 'a' + 'A');
  for (std::size_t b = 0xE0; b <= 0xFF; ++b) table[b] = static_cast<std::uint8_t>(b - 0x20);
  for (const CasePair& pair : kCyrillicOutsideMainBlock) table[pair.small] = pair.capital;
  return table;
}

constexpr std::array<std::uint8_t, 256> kUpper = MakeUpperTable();

}  // namespace

const unsigned char* UpperCaseTable() { return kUpper.data(); }

void UpperCase(char* text, std::size_t count) {
  auto* bytes = reinterpret_cast<unsigned char*>(text);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = kUpper[bytes[i]];
}

bool EqualIgnoringCase(const char* a, const char* b, std::size_t count) {
  const auto* x = reinterpret_cast<const unsigned char*>(a);
  const auto* y = reinterpret_cast<const unsigned char*>(b);
  for (std::size_t i = 0; i < count; ++i) {
    if (kUpper[x[i]] != kUpper[y[i]]) return false;
  }
  return true;
}

}  // namespace vexa::platform

// Upper-casing and case-insensitive comparison under the ANSI code page, by
// the Win32 functions CharUpperBuffA and CompareStringA. Under the single-byte
// code pages these map byte by byte, so the capitals of all 256 bytes are
// taken once, when the module is loaded, for the hot loops.
#include <windows.h>

#include <array>
#include <cstddef>

#include "platform/platform.h"

namespace vexa::platform {
namespace {

constexpr DWORD kLargestCall = 1u << 30;

std::array<unsigned char, 256> CapitalsOfAllBytes() {
  std::array<unsigned char, 256> table{};
  for (std::size_t b = 0; b < table.size(); ++b) {
    char byte = static_cast<char>(b);
    CharUpperBuffA(&byte, 1);
    table[b] = static_cast<unsigned char>(byte);
  }
  return table;
}

// Taken while the module loads, before any export can run.
const std::array<unsigned char, 256> kUpper = CapitalsOfAllBytes();

}  // namespace

const unsigned char* UpperCaseTable() { return kUpper.data(); }

void UpperCase(char* text, std::size_t count) {
  while (count > 0) {
    const DWORD part = count > kLargestCall ? kLargestCall : static_cast<DWORD>(count);
    CharUpperBuffA(text, part);
    text += part;
    count -= part;
  }
}

bool EqualIgnoringCase(const char* a, const char* b, std::size_t count) {
  if (count == 0) return true;
  // Lookups compare words and list entries, never gigabytes; a count that
  // does not fit the call's int is compared in parts.
  while (count > kLargestCall) {
    if (!EqualIgnoringCase(a, b, kLargestCall)) return false;
    a += kLargestCall;
    b += kLargestCall;
    count -= kLargestCall;
  }
  const int length = static_cast<int>(count);
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, length, b, length) == CSTR_EQUAL;
}

}  // namespace vexa::platform

// Text in Windows-1251, the code page the module works in, and in UTF-8, the
// code page of terminals, clients and the Snowball stemmers. Plain tables:
// nothing depends on the locale of the process or on iconv.
//
// One rule for what does not convert: every Windows-1251 byte has a UTF-8
// form (0x98, which the code page leaves undefined, becomes U+FFFD), while
// UTF-8 that is malformed or holds a character the code page lacks has no
// Windows-1251 form at all; the caller learns where, and decides.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vexa::support {

// The most UTF-8 bytes that one Windows-1251 byte becomes.
inline constexpr std::size_t kMaxUtf8BytesPerByte = 3;

// Writes the UTF-8 form of `length` Windows-1251 `bytes` into `utf8` and
// returns its length. REQUIRES: `utf8` holds kMaxUtf8BytesPerByte * length.
std::size_t Windows1251ToUtf8(const char* bytes, std::size_t length, char* utf8);
std::string Windows1251ToUtf8(std::string_view bytes);

// Where and why UTF-8 text has no Windows-1251 form.
struct Utf8Fault {
  enum class Kind { kNotUtf8, kNoWindows1251Form };
  Kind kind = Kind::kNotUtf8;
  std::size_t offset = 0;   // of the first byte of the sequence, in the text
  char32_t character = 0;   // kNoWindows1251Form: the character

  // "not UTF-8 at byte 3", "U+20AD at byte 3 has no Windows-1251 form".
  std::string Describe() const;
};

// Writes the Windows-1251 form of `length` bytes of UTF-8 into `bytes` and
// returns its length. No value when the text is not UTF-8 (overlong forms,
// surrogates and cut sequences included) or holds a character the code page
// lacks; `fault`, when given, then says which and where. REQUIRES: `bytes`
// holds `length` bytes (one byte per character is never more).
std::optional<std::size_t> Utf8ToWindows1251(const char* utf8, std::size_t length, char* bytes,
                                             Utf8Fault* fault = nullptr);

// As above; throws std::invalid_argument, with Utf8Fault::Describe() for its
// message, where the text has no Windows-1251 form.
std::string Utf8ToWindows1251(std::string_view utf8);

}  // namespace vexa::support

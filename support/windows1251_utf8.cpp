#include "support/windows1251_utf8.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <stdexcept>

namespace vexa::support {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The character of each byte 0x80..0xFF; 0 for the undefined 0x98.
constexpr std::array<char16_t, 128> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

// The byte of `character`, or no value where the code page lacks it. The
// Cyrillic block U+0410..U+044F, most of any Russian text, is one range.
std::optional<unsigned char> ByteOf(char32_t character) {
  if (character < 0x80) return static_cast<unsigned char>(character);
  if (character >= 0x0410 && character <= 0x044F) return static_cast<unsigned char>(0xC0 + (character - 0x0410));
  for (std::size_t i = 0; i < 0x40; ++i) {
    if (kUpperHalf[i] != 0 && kUpperHalf[i] == character) return static_cast<unsigned char>(0x80 + i);
  }
  return std::nullopt;
}

std::size_t PutUtf8(char32_t character, char* out) {
  if (character < 0x80) {
    out[0] = static_cast<char>(character);
    return 1;
  }
  if (character < 0x800) {
    out[0] = static_cast<char>(0xC0 | (character >> 6));
    out[1] = static_cast<char>(0x80 | (character & 0x3F));
    return 2;
  }
  out[0] = static_cast<char>(0xE0 | (character >> 12));
  out[1] = static_cast<char>(0x80 | ((character >> 6) & 0x3F));
  out[2] = static_cast<char>(0x80 | (character & 0x3F));
  return 3;
}

// Decodes the character at `at`, moving `at` past it; no value for a byte
// sequence that is not UTF-8.
std::optional<char32_t> DecodeUtf8(const char* text, std::size_t length, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  std::size_t following = 0;
  char32_t character = 0;
  char32_t smallest = 0;
  if (lead < 0x80) {
    ++at;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    following = 1, character = lead & 0x1Fu, smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    following = 2, character = lead & 0x0Fu, smallest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    following = 3, character = lead & 0x07u, smallest = 0x10000;
  } else {
    return std::nullopt;
  }
  if (length - at <= following) return std::nullopt;
  for (std::size_t i = 1; i <= following; ++i) {
    const auto next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    character = character << 6 | (next & 0x3Fu);
  }
  if (character < smallest || character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF)) {
    return std::nullopt;
  }
  at += following + 1;
  return character;
}

}  // namespace

std::size_t Windows1251ToUtf8(const char* bytes, std::size_t length, char* utf8) {
  std::size_t written = 0;
  for (std::size_t i = 0; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x80) {
      utf8[written++] = bytes[i];
    } else {
      const char16_t character = kUpperHalf[byte - 0x80u];
      written += PutUtf8(character != 0 ? character : kReplacement, utf8 + written);
    }
  }
  return written;
}

std::string Windows1251ToUtf8(std::string_view bytes) {
  std::string utf8(bytes.size() * kMaxUtf8BytesPerByte, '\0');
  utf8.resize(Windows1251ToUtf8(bytes.data(), bytes.size(), utf8.data()));
  return utf8;
}

std::string Utf8Fault::Describe() const {
  char message[96];
  if (kind == Kind::kNotUtf8) {
    std::snprintf(message, sizeof message, "not UTF-8 at byte %zu", offset);
  } else {
    std::snprintf(message, sizeof message, "U+%04X at byte %zu has no Windows-1251 form",
                  static_cast<unsigned>(character), offset);
  }
  return message;
}

std::optional<std::size_t> Utf8ToWindows1251(const char* utf8, std::size_t length, char* bytes, Utf8Fault* fault) {
  std::size_t written = 0;
  for (std::size_t at = 0; at < length;) {
    const std::size_t start = at;
    const std::optional<char32_t> character = DecodeUtf8(utf8, length, at);
    const std::optional<unsigned char> byte = character ? ByteOf(*character) : std::nullopt;
    if (!byte) {
      if (fault != nullptr) {
        *fault = character ? Utf8Fault{Utf8Fault::Kind::kNoWindows1251Form, start, *character}
                           : Utf8Fault{Utf8Fault::Kind::kNotUtf8, start, 0};
      }
      return std::nullopt;
    }
    bytes[written++] = static_cast<char>(*byte);
  }
  return written;
}

std::string Utf8ToWindows1251(std::string_view utf8) {
  std::string bytes(utf8.size(), '\0');
  Utf8Fault fault;
  const std::optional<std::size_t> length = Utf8ToWindows1251(utf8.data(), utf8.size(), bytes.data(), &fault);
  if (!length) throw std::invalid_argument(fault.Describe());
  bytes.resize(*length);
  return bytes;
}

}  // namespace vexa::support

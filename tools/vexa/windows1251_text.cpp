#include "tools/vexa/windows1251_text.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace vexa_inspector {
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

std::optional<unsigned char> ByteOf(char32_t character) {
  if (character < 0x80) return static_cast<unsigned char>(character);
  for (std::size_t i = 0; i < kUpperHalf.size(); ++i) {
    if (kUpperHalf[i] != 0 && kUpperHalf[i] == character) return static_cast<unsigned char>(0x80 + i);
  }
  return std::nullopt;
}

void AppendUtf8(char32_t character, std::string& out) {
  if (character < 0x80) {
    out += static_cast<char>(character);
  } else if (character < 0x800) {
    out += static_cast<char>(0xC0 | (character >> 6));
    out += static_cast<char>(0x80 | (character & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (character >> 12));
    out += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (character & 0x3F));
  }
}

// Decodes the character at `at`, moving `at` past it; no value for a byte
// sequence that is not UTF-8 (overlong forms and surrogates included).
std::optional<char32_t> DecodeUtf8(const std::string& text, std::size_t& at) {
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
  if (text.size() - at <= following) return std::nullopt;
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

std::optional<std::string> Utf8ToWindows1251(const std::string& text, std::string& error) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t start = at;
    const std::optional<char32_t> character = DecodeUtf8(text, at);
    char message[96];
    if (!character) {
      std::snprintf(message, sizeof message, "not UTF-8 at byte %zu", start);
      error = message;
      return std::nullopt;
    }
    const std::optional<unsigned char> byte = ByteOf(*character);
    if (!byte) {
      std::snprintf(message, sizeof message, "U+%04X at byte %zu has no Windows-1251 form",
                    static_cast<unsigned>(*character), start);
      error = message;
      return std::nullopt;
    }
    bytes += static_cast<char>(*byte);
  }
  return bytes;
}

std::string Windows1251ToUtf8(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else {
      const char16_t character = kUpperHalf[byte - 0x80u];
      AppendUtf8(character != 0 ? character : kReplacement, out);
    }
  }
  return out;
}

}  // namespace vexa_inspector

// The INI reader over a fuzzed Vexa.ini: the input is the file. Every value
// it gives is one line's at most 2,047 bytes; every key name it lists is
// found again by its name; the key names fit 16 KiB; integers agree with the
// standard library's reading of the same digits; and every byte of a word
// set's text that is not part of a range is in the set it makes.
#include <unistd.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_file.h"
#include "config/word_set.h"

namespace {

constexpr std::size_t kKeysLookedUp = 8;

std::string g_path;

void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "config_file_fuzzer: %s\n", what);
    std::abort();
  }
}

// The integer the text spells, read by std::from_chars: leading spaces,
// then a sign and decimal digits within 32 bits, or a hexadecimal mark and
// digits within 32 bits unsigned.
std::optional<std::int32_t> StandardInteger(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  for (std::string_view mark : {"0x", "0X", "$", "x", "X"}) {
    if (text.substr(0, mark.size()) != mark) continue;
    const std::string_view digits = text.substr(mark.size());
    if (digits.empty() || digits.front() == '-' || digits.front() == '+') return std::nullopt;
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return static_cast<std::int32_t>(value);
  }
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return std::nullopt;
  }
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

void CheckInteger(std::string_view text) {
  Require(vexa::ParseConfigInteger(text) == StandardInteger(text), "an integer read otherwise than from_chars reads it");
}

// A byte that is neither a dot nor right after two dots stands for itself;
// the upper end of a range may not (a range downwards adds nothing).
void CheckWordSet(std::string_view text) {
  const vexa::TCharSet set = vexa::ParseWordSet(text);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool endsARange = i >= 2 && text[i - 1] == '.' && text[i - 2] == '.';
    if (text[i] != '.' && !endsARange) {
      Require(set.Contains(static_cast<unsigned char>(text[i])), "a byte of the text is not in its word set");
    }
  }
  if (text.find("..") == std::string_view::npos) {
    vexa::TCharSet exact;
    for (char c : text) exact.Add(static_cast<unsigned char>(c));
    Require(set == exact, "a text without ranges made other bytes word characters");
  }
}

void CheckValue(const std::string& value) {
  Require(value.size() <= vexa::TConfigFile::kMaxValueLength, "a value longer than 2,047 bytes");
  Require(value.find_first_of(std::string("\r\n\0", 3)) == std::string::npos, "a value holds a line end or a NUL");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // In memory where the system has a tmpfs for it, since every read opens
  // the file anew.
  for (const char* directory : {"/dev/shm", "/tmp"}) {
    std::string pattern = std::string(directory) + "/vexa-config-fuzz-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) continue;
    close(fd);
    g_path = pattern;
    std::atexit([] { std::remove(g_path.c_str()); });
    return 0;
  }
  std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    std::ofstream file(g_path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  const vexa::TConfigFile config(g_path);
  const std::string kAbsent("\n");  // no value holds a line end

  for (const char* section : {"Main", "SoundEx", "Filters"}) {
    std::size_t bytes = 1;
    const std::vector<std::string> names = config.GetKeyNames(section);
    for (std::size_t i = 0; i < names.size(); ++i) {
      const std::string& name = names[i];
      Require(!name.empty(), "an empty key name");
      Require(name.find_first_of(std::string("\r\n=\0", 4)) == std::string::npos, "a key name holds = or a line end");
      bytes += name.size() + 1;
      if (i >= kKeysLookedUp) continue;  // each lookup reads the whole file again
      const std::string value = config.GetString(section, name, kAbsent);
      Require(value != kAbsent, "a listed key is not found by its name");
      CheckValue(value);
    }
    Require(bytes <= vexa::TConfigFile::kKeyNamesBufferSize, "key names beyond 16 KiB");
  }

  const std::string minimum = config.GetString("Main", "MinWordLen", "");
  CheckValue(minimum);
  CheckInteger(minimum);
  Require(config.GetInteger("Main", "MinWordLen", 3) == StandardInteger(minimum).value_or(3),
          "GetInteger differs from the value it reads");
  const std::string wordSet = config.GetString("Main", "WordSet", "");
  CheckValue(wordSet);
  CheckWordSet(wordSet);
  CheckValue(config.GetString("SoundEx", "NationSet", ""));
  CheckValue(config.GetString("SoundEx", "Translate", ""));

  // The whole input as one integer and one word set, too.
  const std::string_view raw(reinterpret_cast<const char*>(data), size);
  CheckInteger(raw.substr(0, 64));
  CheckWordSet(raw.substr(0, 2047));
  return 0;
}

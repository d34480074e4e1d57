#include "stream_records.h"

#include <cstdint>

namespace vexa::test {

std::optional<std::vector<std::string>> WholeRecords(const vexa::TWordStream& stream) {
  std::vector<std::string> words;
  const unsigned char* bytes = stream.Data();
  const std::size_t size = stream.Size();
  std::size_t at = 0;
  while (at < size) {
    if (size - at < 4) return std::nullopt;
    const std::uint32_t length = std::uint32_t{bytes[at]} | std::uint32_t{bytes[at + 1]} << 8 |
                                 std::uint32_t{bytes[at + 2]} << 16 | std::uint32_t{bytes[at + 3]} << 24;
    at += 4;
    if (length == 0 || length > vexa::TWordStream::kMaxWordLength || length > size - at) return std::nullopt;
    words.emplace_back(reinterpret_cast<const char*>(bytes + at), length);
    at += length;
  }
  return words;
}

bool AtMostOneWordMissing(const std::vector<std::string>& full, const std::vector<std::string>& got) {
  if (got == full) return true;
  if (got.size() + 1 != full.size()) return false;
  std::size_t i = 0;
  while (i < got.size() && got[i] == full[i]) ++i;
  for (; i < got.size(); ++i) {
    if (got[i] != full[i + 1]) return false;
  }
  return true;
}

}  // namespace vexa::test

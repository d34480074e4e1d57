#include "word_records.h"

#include <zlib.h>

namespace vexa::test {

std::string WordRecords(const std::vector<std::string>& words) {
  std::string bytes;
  for (const std::string& word : words) {
    const auto length = static_cast<std::uint32_t>(word.size());
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>((length >> shift) & 0xFFu));
    bytes += word;
  }
  return bytes;
}

std::uint32_t StreamCrc(const std::string& streamBytes) {
  const auto* data = reinterpret_cast<const Bytef*>(streamBytes.data());
  const uLong standard = crc32(crc32(0L, Z_NULL, 0), data, static_cast<uInt>(streamBytes.size()));
  return static_cast<std::uint32_t>(standard) ^ 0xFFFFFFFFu;
}

}  // namespace vexa::test

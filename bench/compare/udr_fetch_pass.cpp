#include "bench/compare/udr_fetch_pass.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "config/configuration.h"
#include "frame/udr/word_rows.h"
#include "platform/platform.h"

namespace vexa::compare {
namespace {

// FT_WORDS' output message in a single-byte database: POS INTEGER, then
// WORD VARCHAR(31), each with its null indicator, laid out as the engine
// lays them out.
constexpr udr::WordRowLayout kLayout{{0, 4}, {6, 40, udr::kMaxWordBytes, udr::TextEncoding::kSingleByte}};
constexpr std::size_t kMessageBytes = 42;

std::uint64_t WordChecksum(const unsigned char* message) {
  std::uint16_t length;
  std::memcpy(&length, message + kLayout.word.offset, sizeof length);
  std::uint64_t bytes = 0;
  for (std::size_t i = 0; i < length; ++i) bytes = bytes * 31 + message[kLayout.word.offset + 2 + i];
  return bytes;
}

}  // namespace

UdrSettings::UdrSettings(const std::filesystem::path& moduleDirectory) {
  const std::string directory = moduleDirectory.string() + "/";
  const TConfigFile config(directory + kConfigFileName);
  if (platform::IsExistingFile(config.Path())) ReadConfiguration(config, directory, settings_);
}

PassResult FetchDocumentsAsTheUdr(const TEngineSettings& settings, const std::vector<std::string>& documents) {
  PassResult result;
  unsigned char message[kMessageBytes] = {};
  for (const std::string& document : documents) {
    TParser parser(false, settings);
    const std::string blobText(document);  // the module reads a BLOB into a buffer of its own
    parser.AddText(blobText.c_str());
    udr::WordRows rows(parser);
    udr::WordRows::Prepare(message, kLayout);
    while (rows.Next(message, kLayout)) {
      ++result.words;
      result.checksum += WordChecksum(message);
    }
    result.checksum ^= std::uint64_t{parser.CRC()} << 16;
  }
  return result;
}

}  // namespace vexa::compare

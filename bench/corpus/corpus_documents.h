// A corpus file cut into documents of at most a given size, each cut made
// after a blank so that no word is split between two documents.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace vexa::bench {

inline constexpr std::size_t kDocumentBytes = 64 * 1024;

// The whole file; throws std::runtime_error when it can't be read or is empty.
std::string ReadCorpusFile(const std::filesystem::path& path);

// Consecutive pieces of `text` of at most `maxBytes` bytes each that together
// are `text`. A piece ends after the last blank (byte 0x00..0x20) that fits,
// or at `maxBytes` when no blank does. A NUL byte inside would end the text
// for the module, so each one is turned into a space.
std::vector<std::string> SplitIntoDocuments(const std::string& text, std::size_t maxBytes);

std::size_t TotalBytes(const std::vector<std::string>& documents);

}  // namespace vexa::bench

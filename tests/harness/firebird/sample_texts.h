// Texts to index: made from a fixed seed, so that every run indexes the same.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vexa::firebird {

// `wordCount` words of English, in mixed case and with punctuation: most
// from a vocabulary that all documents share, some made for this seed
// alone, so that documents share many words and each has words of its own.
std::string GeneratedDocument(std::uint32_t seed, std::size_t wordCount);

// The word only documents of `seed` hold (as GeneratedDocument writes it).
std::string OwnWord(std::uint32_t seed, std::size_t index);

}  // namespace vexa::firebird

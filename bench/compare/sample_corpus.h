// Made-up texts that stand in for the corpus where it is not at hand (the
// smoke test): sentences of common English words, and of Russian words in
// Windows-1251, with now and then a comma, a number or a token such as
// TCP/IP. The words are drawn with a fixed seed, so every call gives the
// same bytes, and the first words of each vocabulary are drawn most often,
// so that a stop-word list made from the text holds them.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace vexa::compare {

// At least `minBytes` bytes, ending with a whole sentence.
std::string SampleEnglishText(std::size_t minBytes);
std::string SampleRussianText1251(std::size_t minBytes);

// Writes both into `directory` under the corpus file names that
// fetch_corpus.sh uses, creating the directory.
void WriteSampleCorpus(const std::filesystem::path& directory, std::size_t minBytes);

}  // namespace vexa::compare

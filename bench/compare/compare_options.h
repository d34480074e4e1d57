// The command line of vexa_compare:
//   vexa_compare [--rounds N] CORPUS_DIR
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace vexa::compare {

inline constexpr std::size_t kDefaultRounds = 7;

struct CompareOptions {
  std::filesystem::path corpusDir;
  std::size_t rounds = kDefaultRounds;
};

inline constexpr const char* kUsage = "usage: vexa_compare [--rounds N] CORPUS_DIR";

// `arguments` without the program name. Throws std::invalid_argument, with
// what is wrong, for anything but one directory and an optional --rounds N
// (or --rounds=N) with N from 1 to 1000.
CompareOptions ParseCompareOptions(const std::vector<std::string>& arguments);

}  // namespace vexa::compare

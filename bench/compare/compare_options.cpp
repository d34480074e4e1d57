#include "bench/compare/compare_options.h"

#include <stdexcept>

namespace vexa::compare {
namespace {

constexpr std::size_t kMaxRounds = 1000;
constexpr const char* kRoundsFlag = "--rounds";

std::size_t ParseRounds(const std::string& text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 4) {
    throw std::invalid_argument("--rounds takes a number, not '" + text + "'");
  }
  const auto rounds = static_cast<std::size_t>(std::stoul(text));
  if (rounds == 0 || rounds > kMaxRounds) throw std::invalid_argument("--rounds takes 1 to 1000");
  return rounds;
}

}  // namespace

CompareOptions ParseCompareOptions(const std::vector<std::string>& arguments) {
  CompareOptions options;
  bool haveDirectory = false;
  const std::string roundsPrefix = std::string(kRoundsFlag) + "=";
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == kRoundsFlag) {
      if (i + 1 == arguments.size()) throw std::invalid_argument("--rounds needs a number");
      options.rounds = ParseRounds(arguments[++i]);
    } else if (argument.rfind(roundsPrefix, 0) == 0) {
      options.rounds = ParseRounds(argument.substr(roundsPrefix.size()));
    } else if (argument.rfind("-", 0) == 0) {
      throw std::invalid_argument("unknown option " + argument);
    } else if (haveDirectory) {
      throw std::invalid_argument("one corpus directory only");
    } else {
      options.corpusDir = argument;
      haveDirectory = true;
    }
  }
  if (!haveDirectory) throw std::invalid_argument("no corpus directory");
  return options;
}

}  // namespace vexa::compare

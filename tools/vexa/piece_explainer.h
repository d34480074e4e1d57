// Splits a text step by step as the module's parser does, and keeps what
// became of each piece: the run or token chunk, its tests, each filter's
// rewrite and the word stored. Works on the plain rules, one byte at a time,
// without the parser's shortcuts, so that it is a check on them too.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "config/word_kind.h"
#include "tools/vexa/module_configuration.h"

namespace vexa::inspector {

enum class PieceFate {
  Stored,
  TooShort,         // a run shorter than the minimum word length (document parser)
  StopWord,         // a listed stop word (document parser)
  EmptiedByFilter,  // a filter left the empty word
  FilterFailed,     // a filter threw: the word is dropped
};

// One filter's call on a word.
struct FilterStep {
  std::string filter;  // its key name in Vexa.ini
  std::string before;
  std::string after;
};

struct Piece {
  std::size_t offset = 0;      // of its first byte in the text
  std::string text;            // the run, or the token chunk, as it stands in the text
  bool isToken = false;        // a listed token's chunk, taken whole
  vexa::TWordKind listKind = vexa::wkNone;  // the lookup's answer for the word upper-cased
  bool cut = false;            // longer than a word can be: cut to its first 255 bytes
  std::vector<FilterStep> filterSteps;
  PieceFate fate = PieceFate::Stored;
  std::string stored;          // the word as stored, when fate is Stored
};

std::vector<Piece> ExplainText(const char* text, bool isQuery, const ModuleConfiguration& configuration);

}  // namespace vexa::inspector

#include "parser/parser.h"

#include <cstring>

#include "parser/token_list.h"
#include "platform/platform.h"

namespace vexa {
namespace {

// First byte at or after p with a value 0x00..0x20: where a chunk ends.
const char* SkipToBlank(const char* p) {
  while (static_cast<unsigned char>(*p) > 0x20) ++p;
  return p;
}

}  // namespace

void TParser::AddText(const char* text) {
  if (text == nullptr) return;
  const TWordLookupTable& table = settings_.wordTable;
  const bool mayHoldTokens = !table.IsEmpty();

  TTokenList tokens(text, settings_.wordCharacters);
  // Every run that starts before the end of a chunk shares that chunk's end,
  // so one scan per stretch of non-blank bytes finds all of them.
  const char* chunkEnd = text;
  while (!tokens.AtEnd()) {
    const char* runStart = tokens.RunStart();
    if (mayHoldTokens) {
      if (runStart >= chunkEnd) chunkEnd = SkipToBlank(runStart);
      const auto chunkLength = static_cast<std::size_t>(chunkEnd - runStart);
      // An empty chunk is never a token: restarting at its end would find
      // the same run again.
      if (table.MayBeToken(runStart, chunkLength) && table.LookupWord(runStart, chunkLength) == wkToken) {
        AddWord(runStart, chunkLength, false);
        tokens.RestartAt(chunkEnd);
        continue;
      }
    }
    AddWord(runStart, static_cast<std::size_t>(tokens.RunEnd() - runStart), true);
    tokens.NextRun();
  }
}

void TParser::AddWord(const char* word, std::size_t length, bool checkWord) noexcept {
  try {
    if (checkWord && !IsQuery_ && static_cast<std::int64_t>(length) < settings_.minWordLength) return;

    // Words longer than the buffer keeps are cut to their first 255 bytes.
    // Copied and upper-cased in one pass.
    char buffer[TWordStream::kMaxWordLength + 1];
    const std::size_t kept = length < TWordStream::kMaxWordLength ? length : TWordStream::kMaxWordLength;
    const unsigned char* upper = platform::UpperCaseTable();
    for (std::size_t i = 0; i < kept; ++i) buffer[i] = static_cast<char>(upper[static_cast<unsigned char>(word[i])]);
    buffer[kept] = '\0';

    const TWordLookupTable& table = settings_.wordTable;
    const TWordKind kind = !checkWord ? wkToken : table.IsEmpty() ? wkNone : table.LookupWord(buffer, kept);
    if (kind == wkStop && !IsQuery_) return;

    std::size_t stored = kept;
    if (kind == wkNone && !settings_.filters.IsEmpty()) {
      if (!settings_.filters.Apply(buffer)) return;  // a filter faulted: the word is dropped
      stored = std::strlen(buffer);
    }
    if (stored == 0) return;

    WordStream_.Append(buffer, stored);
    ++WordCount_;
  } catch (...) {
    // The word is dropped; the stream still holds whole records only.
  }
}

}  // namespace vexa

#include "parser/parser.h"

#include <cstring>

#include "parser/run_scanner.h"
#include "platform/platform.h"

namespace vexa {

void TParser::AddText(const char* text) {
  if (text == nullptr) return;
  const TWordLookupTable& table = settings_.wordTable;
  const bool mayHoldTokens = !table.IsEmpty();

  // The runs are those TTokenList finds, found by offset from bit masks: a
  // run starts at the first word character at or after the end of the run
  // before it, or of the token chunk before it.
  TRunScanner scanner(text, std::strlen(text), settings_.wordCharacters);
  // Every run that starts before the end of a chunk shares that chunk's end.
  std::size_t chunkEnd = 0;
  std::size_t runStart = scanner.NextWordChar(0);
  while (runStart < scanner.Length()) {
    const char* run = text + runStart;
    if (mayHoldTokens) {
      if (runStart >= chunkEnd) chunkEnd = scanner.NextBlank(runStart);
      const std::size_t chunkLength = chunkEnd - runStart;
      // An empty chunk is never a token: restarting at its end would find
      // the same run again.
      if (table.MayBeToken(run, chunkLength) && table.LookupWord(run, chunkLength) == wkToken) {
        AddWord(run, chunkLength, false);
        runStart = scanner.NextWordChar(chunkEnd);
        continue;
      }
    }
    const std::size_t runEnd = scanner.NextNonWordChar(runStart);
    AddWord(run, runEnd - runStart, true);
    runStart = scanner.NextWordChar(runEnd);
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
      settings_.filters.Apply(buffer);  // leaves the buffer terminated
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

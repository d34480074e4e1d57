#include "parser/parser.h"

#include <cstring>

#include "parser/token_list.h"
#include "platform/platform.h"

namespace vexa {
namespace {

// Upper-cases `length` bytes of `word` into `buffer` by the table `upper`.
void CopyUpperCased(const char* word, std::size_t length, const unsigned char* upper, char* buffer) {
  for (std::size_t i = 0; i < length; ++i) buffer[i] = static_cast<char>(upper[static_cast<unsigned char>(word[i])]);
}

}  // namespace

// Inlined into the splitting loop whatever the compiler would choose: it runs
// once per run of the text.
[[gnu::always_inline]] inline void TParser::AddWord(const char* word, std::size_t length, std::size_t readable,
                                                    bool checkWord) noexcept {
  if (checkWord && static_cast<std::int64_t>(length) < shortestRunKept_) return;
  // Words longer than the buffer keeps are cut to their first 255 bytes.
  const std::size_t kept = length < TWordStream::kMaxWordLength ? length : TWordStream::kMaxWordLength;
  const TWordLookupTable& table = settings_.wordTable;
  TShortWordKinds::Key upperCased;
  TWordKind kind = wkNone;
  // Most runs: short, looked up from their raw bytes.
  if (checkWord && readable >= TShortWordKinds::kKeySize && table.LookupShortRun(word, kept, kind, upperCased)) {
    if (kind == wkStop && !isQuery_) return;
    if (kind == wkNone && !settings_.filters.IsEmpty()) {
      StoreWord(word, kept, kind, nullptr);
    } else if (wordStream_.HasRoomForShort()) {
      wordStream_.AppendShortInRoom(upperCased.low, upperCased.high, kept);  // the key holds the word upper-cased
      ++wordCount_;
    } else {
      StoreShortWord(upperCased, kept);  // the stream grows first
    }
    return;
  }
  if (!checkWord || table.IsEmpty()) {
    // Nothing to look up: a token, or a run without lists.
    kind = checkWord ? wkNone : wkToken;
    const bool filtered = kind == wkNone && !settings_.filters.IsEmpty();
    if (!filtered && readable >= TShortWordKinds::kKeySize && table.UpperCaseShortRun(word, kept, upperCased)) {
      StoreShortWord(upperCased, kept);
    } else {
      StoreWord(word, kept, kind, nullptr);
    }
    return;
  }
  // Zeros follow the word, as many as a short word's lookup key reads.
  char buffer[TWordStream::kMaxWordLength + TShortWordKinds::kKeySize];
  CopyUpperCased(word, kept, upperCase_, buffer);
  std::memset(buffer + kept, 0, TShortWordKinds::kKeySize);
  kind = table.LookupUpperCaseWord(buffer, kept);
  if (kind == wkStop && !isQuery_) return;
  StoreWord(word, kept, kind, buffer);
}

void TParser::AddText(const char* text) {
  if (text == nullptr) return;
  const TWordLookupTable& table = settings_.wordTable;
  const bool mayHoldTokens = !table.IsEmpty();

  // A run starts at the first word character at or after the end of the run
  // before it, or of the token chunk before it.
  TTokenList scanner(text, std::strlen(text), settings_.wordCharacters);
  std::size_t runStart = scanner.NextWordChar(0);
  while (runStart < scanner.Length()) {
    const char* run = text + runStart;
    // The first two bytes rule out nearly every chunk; the others are
    // measured and tested in full. (The byte after a run start is readable:
    // at worst it is the NUL.)
    if (mayHoldTokens && table.MayStartToken(run)) {
      const std::size_t chunkEnd = scanner.NextBlank(runStart);
      const std::size_t chunkLength = chunkEnd - runStart;
      // An empty chunk is never a token: restarting at its end would find
      // the same run again.
      if (table.MayBeToken(run, chunkLength) && table.IsToken(run, chunkLength)) {
        AddWord(run, chunkLength, scanner.Length() - runStart + 1, false);
        runStart = scanner.NextWordChar(chunkEnd);
        continue;
      }
    }
    const std::size_t runEnd = scanner.NextNonWordChar(runStart);
    AddWord(run, runEnd - runStart, scanner.Length() - runStart + 1, true);
    runStart = scanner.NextWordChar(runEnd);
  }
}

void TParser::StoreWord(const char* word, std::size_t length, TWordKind kind, char* upper) noexcept {
  try {
    if (kind == wkNone && !settings_.filters.IsEmpty()) {
      char buffer[TWordStream::kMaxWordLength + 1];
      if (upper == nullptr) {
        CopyUpperCased(word, length, upperCase_, buffer);
        buffer[length] = '\0';
        upper = buffer;
      }
      // Leaves the buffer terminated; false when a filter faulted, and the
      // word is dropped.
      if (!settings_.filters.Apply(upper)) return;
      const std::size_t stored = std::strlen(upper);
      if (stored == 0) return;
      wordStream_.Append(upper, stored);
    } else if (upper != nullptr) {
      wordStream_.Append(upper, length);
    } else {
      // Nothing looked at the word: it goes to the stream upper-cased as it
      // is copied.
      wordStream_.AppendMapped(word, length, upperCase_);
    }
    ++wordCount_;
  } catch (...) {
    // The word is dropped; the stream still holds whole records only.
  }
}

void TParser::StoreShortWord(const TShortWordKinds::Key& upperCased, std::size_t length) noexcept {
  try {
    wordStream_.AppendShort(upperCased.low, upperCased.high, length);
    ++wordCount_;
  } catch (...) {
    // The word is dropped; the stream still holds whole records only.
  }
}

}  // namespace vexa

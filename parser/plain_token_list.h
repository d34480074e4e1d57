// TPlainTokenList: the scanner of text splitting written byte by byte, the
// reference that TTokenList (token_list.h) is held against in the tests.
// It walks the runs of word characters of one NUL-terminated text in place,
// neither owning nor copying the text, which must stay unchanged while the
// scanner lives. The NUL ends every scan, whatever the set holds.
#pragma once

#include <cstdint>

#include "config/char_set.h"

namespace vexa {

// First byte at or after p that is NUL or a member of `set`.
inline const char* SkipNonWordChars(const char* p, const TCharSet& set) {
  while (*p != '\0' && !set.Contains(static_cast<unsigned char>(*p))) ++p;
  return p;
}

// First byte at or after p that is NUL or not a member of `set`.
inline const char* SkipWordChars(const char* p, const TCharSet& set) {
  while (*p != '\0' && set.Contains(static_cast<unsigned char>(*p))) ++p;
  return p;
}

class TPlainTokenList {
 public:
  TPlainTokenList(const char* text, const TCharSet& set) : set_(set) { StartAt(text); }

  const char* RunStart() const { return runStart_; }
  const char* RunEnd() const { return runEnd_; }
  bool AtEnd() const { return atEnd_; }
  std::int32_t RunNumber() const { return runNumber_; }

  // Moves to the next run; false when none is left. Nothing changes at the end.
  bool NextRun() {
    if (atEnd_) return false;
    StartAt(runEnd_);
    ++runNumber_;
    return !atEnd_;
  }

  // Goes on with the first run at or after p, a byte within the same text;
  // returns whether no run is left.
  bool RestartAt(const char* p) {
    StartAt(p);
    ++runNumber_;
    return atEnd_;
  }

 private:
  void StartAt(const char* p) {
    runStart_ = SkipNonWordChars(p, set_);
    runEnd_ = SkipWordChars(runStart_, set_);
    atEnd_ = *runStart_ == '\0';
  }

  const TCharSet& set_;
  const char* runStart_ = nullptr;
  const char* runEnd_ = nullptr;
  bool atEnd_ = true;
  std::int32_t runNumber_ = 1;
};

}  // namespace vexa

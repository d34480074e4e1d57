// TTokenList: walks the runs of word characters of one NUL-terminated text in
// place. It neither owns nor copies the text, which must stay unchanged while
// the scanner lives. The NUL ends every scan, whatever the set holds.
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

class TTokenList {
 public:
  TTokenList(const char* text, const TCharSet& set) : set_(set) { StartAt(text); }

  const char* RunStart() const { return RunStart_; }
  const char* RunEnd() const { return RunEnd_; }
  bool AtEnd() const { return AtEnd_; }
  std::int32_t RunNumber() const { return RunNumber_; }

  // Moves to the next run; false when none is left. Nothing changes at the end.
  bool NextRun() {
    if (AtEnd_) return false;
    StartAt(RunEnd_);
    ++RunNumber_;
    return !AtEnd_;
  }

  // Goes on with the first run at or after p, a byte within the same text;
  // returns whether no run is left.
  bool RestartAt(const char* p) {
    StartAt(p);
    ++RunNumber_;
    return AtEnd_;
  }

 private:
  void StartAt(const char* p) {
    RunStart_ = SkipNonWordChars(p, set_);
    RunEnd_ = SkipWordChars(RunStart_, set_);
    AtEnd_ = *RunStart_ == '\0';
  }

  const TCharSet& set_;
  const char* RunStart_ = nullptr;
  const char* RunEnd_ = nullptr;
  bool AtEnd_ = true;
  std::int32_t RunNumber_ = 1;
};

}  // namespace vexa

// The word filters loaded from plug-in libraries, in load order.
#pragma once

#include <utility>
#include <vector>

#include "platform/platform.h"

namespace vexa {

using TProcessWordProc = platform::ProcessWordFunction;

struct TFilterEntry {
  platform::LibraryHandle Handle;  // released at unload; may be null for a filter not from a library
  TProcessWordProc Proc;
};

class TFilterList {
 public:
  TFilterList() = default;
  TFilterList(const TFilterList&) = delete;
  TFilterList& operator=(const TFilterList&) = delete;
  TFilterList(TFilterList&& other) noexcept : entries_(std::move(other.entries_)) { other.entries_.clear(); }
  TFilterList& operator=(TFilterList&& other) noexcept {
    if (this != &other) {
      UnloadAll();
      entries_ = std::move(other.entries_);
      other.entries_.clear();
    }
    return *this;
  }
  ~TFilterList() { UnloadAll(); }

  bool IsEmpty() const { return entries_.empty(); }
  std::size_t Count() const { return entries_.size(); }

  void Add(const TFilterEntry& entry) { entries_.push_back(entry); }

  // Hands the word buffer to every filter in list order; each sees what the
  // one before it left. `wordBuffer` holds a NUL-terminated word in 256 bytes.
  // A filter that leaves no zero byte has its word cut at the buffer's last
  // byte, so that the next filter is never handed an unterminated string.
  // False when a filter faulted: the filters after it are not called, and
  // the caller drops the word.
  bool Apply(char* wordBuffer) const {
    for (const TFilterEntry& entry : entries_) {
      if (!platform::CallFilter(entry.Proc, wordBuffer)) return false;
      wordBuffer[kWordBufferSize - 1] = '\0';
    }
    return true;
  }

  static constexpr std::size_t kWordBufferSize = 256;

  // Releases the library of every entry, in list order, and empties the list.
  void UnloadAll() {
    for (const TFilterEntry& entry : entries_) platform::CloseLibrary(entry.Handle);
    entries_.clear();
  }

 private:
  std::vector<TFilterEntry> entries_;
};

}  // namespace vexa

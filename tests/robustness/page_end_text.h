// A text whose terminating NUL is the last readable byte before a page that
// may be neither read nor written: a callee that reads one byte past the
// text crashes, with or without a memory checker.
#pragma once

#include <cstddef>
#include <string>

namespace vexa::test {

class PageEndText {
 public:
  explicit PageEndText(const std::string& text);
  ~PageEndText();
  PageEndText(const PageEndText&) = delete;
  PageEndText& operator=(const PageEndText&) = delete;

  const char* Get() const { return text_; }

 private:
  void* mapping_;
  std::size_t mappingSize_;
  const char* text_;
};

}  // namespace vexa::test

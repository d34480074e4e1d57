#include "page_end_text.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

namespace vexa::test {

PageEndText::PageEndText(const std::string& text) {
  const auto pageSize = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  const std::size_t readablePages = (text.size() + 1 + pageSize - 1) / pageSize;
  mappingSize_ = (readablePages + 1) * pageSize;
  mapping_ = mmap(nullptr, mappingSize_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping_ == MAP_FAILED) throw std::runtime_error("mmap failed");
  char* guard = static_cast<char*>(mapping_) + readablePages * pageSize;
  if (mprotect(guard, pageSize, PROT_NONE) != 0) throw std::runtime_error("mprotect failed");
  char* start = guard - (text.size() + 1);
  std::memcpy(start, text.c_str(), text.size() + 1);
  text_ = start;
}

PageEndText::~PageEndText() { munmap(mapping_, mappingSize_); }

}  // namespace vexa::test

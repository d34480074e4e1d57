// UDFLib: the allocator that the UDF module's string results must come from
// so that the server can free them.
#pragma once

#include <cstddef>
#include <string>

#include "platform/platform.h"

namespace vexa {

class UDFLib {
 public:
  UDFLib() = default;
  UDFLib(const UDFLib&) = delete;
  UDFLib& operator=(const UDFLib&) = delete;
  ~UDFLib() { Stop(); }

  // Binds the result allocator: ib_util_malloc of the server's utility
  // library loaded by its bare name, else of the one in the module's
  // directory (ending in a separator, or empty when unknown), else the C
  // library's malloc. A utility library without ib_util_malloc ends the
  // search and leaves no allocator.
  void Start(const std::string& moduleDirectory);

  // Releases the library that supplied the allocator.
  void Stop();

  bool HasAllocator() const { return allocate_ != nullptr; }

  // A NUL-terminated copy of `length` bytes in length + 1 bytes from the
  // result allocator; null when no allocator is bound or it gave nothing.
  char* ResultString(const char* bytes, std::size_t length) const;

 private:
  platform::ResultAllocFunction allocate_ = nullptr;
  platform::LibraryHandle allocatorLibrary_ = nullptr;
};

}  // namespace vexa

// UDFLib: what the library knows of itself and of its host. The library's
// file name and directory, and the allocator that string results must come
// from so that the server can free them.
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

  // Finds the library's file name and directory and binds the result
  // allocator: ib_util_malloc of the server's utility library loaded by its
  // bare name, else of the one in the library directory, else the C
  // library's malloc. A utility library without ib_util_malloc ends the
  // search and leaves no allocator.
  void Start();

  // Releases the library that supplied the allocator.
  void Stop();

  const std::string& LibraryFileName() const { return libraryFileName_; }
  // Ends in a directory separator; empty when the system could not tell.
  const std::string& LibraryDirectory() const { return libraryDirectory_; }
  bool HasAllocator() const { return allocate_ != nullptr; }

  // A NUL-terminated copy of `length` bytes in length + 1 bytes from the
  // result allocator; null when no allocator is bound or it gave nothing.
  char* ResultString(const char* bytes, std::size_t length) const;

 private:
  std::string libraryFileName_;
  std::string libraryDirectory_;
  platform::ResultAllocFunction allocate_ = nullptr;
  platform::LibraryHandle allocatorLibrary_ = nullptr;
};

}  // namespace vexa

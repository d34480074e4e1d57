// How the host frees the strings Parser_Next returns. The module takes them
// from ib_util_malloc of the server's utility library (libib_util.so) when it
// found one, else from malloc. A utility library that exports ib_util_free
// gets them back through it; Firebird's own exports none and allocates with
// malloc, so free is right for it and for the module's fallback alike.
#pragma once

#include <string>

namespace vexa::compare {

// The utility library's file name as the module loads it.
inline constexpr const char* kServerUtilityLibrary = "libib_util.so";

class ResultRelease {
 public:
  // Frees through ib_util_free of the library at `libraryPath` when that
  // library is already loaded in this process and exports it; else through
  // free. An empty path means free.
  explicit ResultRelease(const std::string& libraryPath);
  ~ResultRelease();
  ResultRelease(const ResultRelease&) = delete;
  ResultRelease& operator=(const ResultRelease&) = delete;

  void Free(char* result) const { free_(result); }

  // "ib_util_free of PATH", or "free (...)" with the reason.
  const std::string& Description() const { return description_; }

 private:
  void* library_ = nullptr;
  void (*free_)(void*) = nullptr;
  std::string description_;
};

// Path of the utility library that is loaded in this process, as the module
// left it after loading; empty when none is.
std::string LoadedServerUtilityLibrary();

}  // namespace vexa::compare

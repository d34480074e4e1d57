// The stand-ins for the server's utility library that the tests build (see
// fake_ib_util/), and how a test sees which allocator the module bound.
#pragma once

#include <filesystem>
#include <string>

namespace vexa::test {

// Full paths of the built stand-ins, in the form the loader reports paths:
// one whose ib_util_malloc counts its calls, one without ib_util_malloc.
// Both have the utility library's file name, each in a directory of its own.
const std::filesystem::path& CountingIbUtilPath();
const std::filesystem::path& IbUtilWithoutMallocPath();

// The utility library's file name: libib_util.so, or ib_util.dll.
const std::string& IbUtilName();

// True when a utility library can be loaded by its bare name here.
bool SystemHasIbUtil();

// vexa split's last line when the strings came from `library`, and when
// there were none.
std::string AllocatorLine(const std::filesystem::path& library);
inline constexpr const char* kNoAllocatorLine = "allocator: none (Parser_Next returned a null pointer)";

// The counting stand-in, as the module loaded it into this process: not
// Loaded() when no library of that name is loaded.
class CountingIbUtil {
 public:
  CountingIbUtil();
  ~CountingIbUtil();
  CountingIbUtil(const CountingIbUtil&) = delete;
  CountingIbUtil& operator=(const CountingIbUtil&) = delete;

  bool Loaded() const { return calls_ != nullptr && sizeOf_ != nullptr; }
  // REQUIRES: Loaded().
  int Calls() const { return calls_(); }
  long SizeOf(const void* block) const { return sizeOf_(block); }

 private:
  void* library_;
  int (*calls_)() = nullptr;
  long (*sizeOf_)(const void*) = nullptr;
};

}  // namespace vexa::test

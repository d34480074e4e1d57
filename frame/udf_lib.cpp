#include "frame/udf_lib.h"

#include <cstring>

namespace vexa {
namespace {

constexpr const char* kAllocatorExport = "ib_util_malloc";

}  // namespace

void UDFLib::Start(const std::string& moduleDirectory) {
  allocatorLibrary_ = platform::OpenLibrary(platform::kServerUtilityLibrary);
  if (allocatorLibrary_ == nullptr && !moduleDirectory.empty()) {
    allocatorLibrary_ = platform::OpenLibrary(moduleDirectory + platform::kServerUtilityLibrary);
  }
  if (allocatorLibrary_ != nullptr) {
    allocate_ = reinterpret_cast<platform::ResultAllocFunction>(
        platform::LibrarySymbol(allocatorLibrary_, kAllocatorExport));
    return;
  }
  allocate_ = platform::CLibraryMalloc(allocatorLibrary_);
}

void UDFLib::Stop() {
  allocate_ = nullptr;
  platform::CloseLibrary(allocatorLibrary_);
  allocatorLibrary_ = nullptr;
}

char* UDFLib::ResultString(const char* bytes, std::size_t length) const {
  if (allocate_ == nullptr) return nullptr;
  auto* result = static_cast<char*>(allocate_(static_cast<long>(length + 1)));
  if (result == nullptr) return nullptr;
  if (length > 0) std::memcpy(result, bytes, length);
  result[length] = '\0';
  return result;
}

}  // namespace vexa

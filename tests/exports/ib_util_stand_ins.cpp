#include "ib_util_stand_ins.h"

#include "fake_ib_util/counting_ib_util.h"
#include "support/host/system_library.h"

namespace vexa_test {

const std::filesystem::path& CountingIbUtilPath() {
  static const std::filesystem::path path = std::filesystem::absolute(COUNTING_IB_UTIL_PATH);
  return path;
}

const std::filesystem::path& IbUtilWithoutMallocPath() {
  static const std::filesystem::path path = std::filesystem::absolute(IB_UTIL_WITHOUT_MALLOC_PATH);
  return path;
}

const std::string& IbUtilName() {
  static const std::string name = vexa_host::kServerUtilityLibrary;
  return name;
}

bool SystemHasIbUtil() {
  void* library = vexa_host::OpenLibraryByName(IbUtilName());
  if (library == nullptr) return false;
  vexa_host::CloseLibrary(library);
  return true;
}

std::string AllocatorLine(const std::filesystem::path& library) {
  return "allocator: ib_util_malloc of " + library.string();
}

CountingIbUtil::CountingIbUtil() : library_(vexa_host::OpenLoadedLibrary(IbUtilName())) {
  if (library_ == nullptr) return;
  calls_ = reinterpret_cast<int (*)()>(vexa_host::LibraryExport(library_, kCountingIbUtilCalls));
  sizeOf_ = reinterpret_cast<long (*)(const void*)>(vexa_host::LibraryExport(library_, kCountingIbUtilSizeOf));
}

CountingIbUtil::~CountingIbUtil() { vexa_host::CloseLibrary(library_); }

}  // namespace vexa_test

#include "ib_util_stand_ins.h"

#include "fake_ib_util/counting_ib_util.h"
#include "support/host/system_library.h"

namespace vexa::test {

const std::filesystem::path& CountingIbUtilPath() {
  static const std::filesystem::path path = std::filesystem::absolute(COUNTING_IB_UTIL_PATH);
  return path;
}

const std::filesystem::path& IbUtilWithoutMallocPath() {
  static const std::filesystem::path path = std::filesystem::absolute(IB_UTIL_WITHOUT_MALLOC_PATH);
  return path;
}

const std::string& IbUtilName() {
  static const std::string name = vexa::host::kServerUtilityLibrary;
  return name;
}

bool SystemHasIbUtil() {
  void* library = vexa::host::OpenLibraryByName(IbUtilName());
  if (library == nullptr) return false;
  vexa::host::CloseLibrary(library);
  return true;
}

std::string AllocatorLine(const std::filesystem::path& library) {
  return "allocator: ib_util_malloc of " + library.string();
}

CountingIbUtil::CountingIbUtil() : library_(vexa::host::OpenLoadedLibrary(IbUtilName())) {
  if (library_ == nullptr) return;
  calls_ = reinterpret_cast<int (*)()>(vexa::host::LibraryExport(library_, kCountingIbUtilCalls));
  sizeOf_ = reinterpret_cast<long (*)(const void*)>(vexa::host::LibraryExport(library_, kCountingIbUtilSizeOf));
}

CountingIbUtil::~CountingIbUtil() { vexa::host::CloseLibrary(library_); }

}  // namespace vexa::test

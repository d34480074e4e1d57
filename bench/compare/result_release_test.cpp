#include "bench/compare/result_release.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tools/loaded_objects.h"

namespace vexa::compare {
namespace {

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

TEST(ResultRelease, WithoutAUtilityLibraryFreesWithFree) {
  const ResultRelease release("");
  EXPECT_TRUE(StartsWith(release.Description(), "free (no libib_util.so loaded")) << release.Description();
  release.Free(static_cast<char*>(std::malloc(16)));
}

TEST(ResultRelease, ALibraryThatIsNotLoadedIsNotLoadedForIt) {
  const std::string path = VEXA_IB_UTIL_WITH_FREE_FILE;
  ASSERT_EQ(vexa_host::LoadedObjectPath(path.substr(path.find_last_of('/') + 1)), "");
  const ResultRelease release(path);
  EXPECT_EQ(release.Description(), "free (" + path + " is not loaded)");
  EXPECT_EQ(vexa_host::LoadedObjectPath(path.substr(path.find_last_of('/') + 1)), "");
}

TEST(ResultRelease, ALoadedLibraryWithoutIbUtilFreeMeansFree) {
  // The C library is always loaded, and has no ib_util_free.
  const std::string libc = vexa_host::LoadedObjectPath("libc.so.6");
  ASSERT_NE(libc, "");
  const ResultRelease release(libc);
  EXPECT_TRUE(StartsWith(release.Description(), "free (" + libc + " exports no ib_util_free"))
      << release.Description();
  release.Free(static_cast<char*>(std::malloc(16)));
}

TEST(ResultRelease, ALoadedLibraryWithIbUtilFreeGetsTheResultsBack) {
  void* library = dlopen(VEXA_IB_UTIL_WITH_FREE_FILE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  const auto allocate = reinterpret_cast<void* (*)(long)>(dlsym(library, "ib_util_malloc"));
  const auto freeCount = reinterpret_cast<long (*)()>(dlsym(library, "ib_util_free_count"));
  ASSERT_NE(allocate, nullptr);
  ASSERT_NE(freeCount, nullptr);
  {
    const ResultRelease release(VEXA_IB_UTIL_WITH_FREE_FILE);
    EXPECT_EQ(release.Description(), std::string("ib_util_free of ") + VEXA_IB_UTIL_WITH_FREE_FILE);
    const long before = freeCount();
    release.Free(static_cast<char*>(allocate(32)));
    release.Free(static_cast<char*>(allocate(1)));
    EXPECT_EQ(freeCount(), before + 2);
  }
  dlclose(library);
}

}  // namespace
}  // namespace vexa::compare

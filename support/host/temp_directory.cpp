#include "support/host/temp_directory.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <stdexcept>
#include <system_error>

namespace vexa::host {
namespace {

// Eight hex digits no other directory of this process or of another is
// likely to draw; a name that is taken anyway is drawn again.
std::string RandomName() {
  static std::atomic<unsigned> counter{0};
  std::random_device device;
  const auto ticks = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
  std::seed_seq seed{device(), device(), ticks, counter.fetch_add(1)};
  std::mt19937 generator(seed);
  char name[16];
  std::snprintf(name, sizeof name, "vexa-%08x", static_cast<unsigned>(generator()));
  return name;
}

}  // namespace

TempDirectory::TempDirectory() {
  const std::filesystem::path parent = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate = parent / RandomName();
    std::error_code error;
    // False, without an error, when the name is taken: create_directory
    // never reuses an existing directory.
    if (std::filesystem::create_directory(candidate, error)) {
      std::filesystem::permissions(candidate, std::filesystem::perms::owner_all, error);
      // The loader reports modules by their real path; keep that form.
      path_ = std::filesystem::canonical(candidate);
      return;
    }
    if (error) throw std::runtime_error("cannot create a directory in " + parent.string() + ": " + error.message());
  }
  throw std::runtime_error("no free directory name in " + parent.string());
}

TempDirectory::~TempDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDirectory::CopyIn(const std::filesystem::path& source, const std::string& name) const {
  const std::filesystem::path target = path_ / name;
  std::filesystem::copy_file(source, target, std::filesystem::copy_options::overwrite_existing);
  return target;
}

std::filesystem::path TempDirectory::Write(const std::string& name, const std::string& contents) const {
  const std::filesystem::path target = path_ / name;
  std::ofstream file(target, std::ios::binary | std::ios::trunc);
  file.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  if (!file) throw std::runtime_error("cannot write " + target.string());
  return target;
}

}  // namespace vexa::host

#include "tools/temp_directory.h"

#include <stdlib.h>

#include <fstream>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace vexa_host {

TempDirectory::TempDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vexa-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp failed for " + pattern);
  // The loader reports modules by their real path; keep that form.
  path_ = std::filesystem::canonical(buffer.data());
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

}  // namespace vexa_host

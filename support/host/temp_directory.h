// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
#pragma once

#include <filesystem>
#include <string>

namespace vexa::host {

class TempDirectory {
 public:
  TempDirectory();
  ~TempDirectory();
  TempDirectory(const TempDirectory&) = delete;
  TempDirectory& operator=(const TempDirectory&) = delete;

  const std::filesystem::path& Path() const { return path_; }

  // Copies the file `source` into the directory as `name`; returns the copy.
  std::filesystem::path CopyIn(const std::filesystem::path& source, const std::string& name) const;

  // Writes `contents` into the directory as the file `name`; returns its path.
  std::filesystem::path Write(const std::string& name, const std::string& contents) const;

 private:
  std::filesystem::path path_;
};

}  // namespace vexa::host

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
#pragma once

#include <string>

namespace vexa::testing {

class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  // Ends in a slash.
  const std::string& Path() const { return path_; }

  // Writes `contents` to the file `name` in the directory; returns its path.
  std::string Write(const std::string& name, const std::string& contents) const;

 private:
  std::string path_;
};

}  // namespace vexa::testing

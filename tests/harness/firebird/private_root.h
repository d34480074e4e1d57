// A private Firebird root laid out by tools/firebird_root.sh: it allows
// external functions from one module directory only, and keeps its lock and
// temporary files to itself.
#pragma once

#include <filesystem>
#include <string>

#include "bounded_process.h"

namespace vexa::firebird {

enum class ServerMode { kClassic, kSuper };

class PrivateRoot {
 public:
  // Lays the root out in `rootDirectory` (made anew). `extraConfiguration`
  // holds further firebird.conf lines.
  PrivateRoot(const std::filesystem::path& rootDirectory, const std::filesystem::path& moduleDirectory,
              ServerMode mode, const std::string& extraConfiguration = "");

  // FIREBIRD, FIREBIRD_LOCK and FIREBIRD_TMP, as the script printed them.
  const Environment& Variables() const { return variables_; }
  // The root directory (FIREBIRD).
  std::string Directory() const;

  // Sets the variables in this process. The client library reads them once,
  // at its first use, so a process selects one root in its life: a second,
  // different root is refused with std::logic_error.
  void SelectForThisProcess() const;

 private:
  Environment variables_;
};

}  // namespace vexa::firebird

// A database with the full-text index installed, as a user sets one up: the
// module laid out with its configuration, a private root allowing it, a new
// WIN1251 database, and the SQL of sql/ run through isql.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "module_directory.h"
#include "private_root.h"
#include "sql_connection.h"
#include "support/host/temp_directory.h"

namespace vexa::firebird {

// A script of the project's sql/ directory.
std::filesystem::path SqlScript(const std::string& name);
// How the index splits texts: PSQL over the legacy functions, or the UDR module.
enum class Splitting { kUdf, kUdr };
// The scripts a user runs to install the index, in order.
std::vector<std::filesystem::path> FulltextScripts(Splitting splitting = Splitting::kUdf);
// The scripts that install the segment index the UDR module serves, in order.
std::vector<std::filesystem::path> SegmentIndexScripts();

// The database's character set and the scripts installed into it, in order;
// a relative name is a script of the project's sql/ directory.
struct DatabaseSetup {
  std::string charset = "WIN1251";
  std::vector<std::filesystem::path> scripts = FulltextScripts();
  bool forcedWrites = true;  // false: commits do not wait for the disk
};

class FulltextDatabase {
 public:
  // Also selects the private root for this process (see PrivateRoot).
  explicit FulltextDatabase(const ModuleConfiguration& configuration, ServerMode mode = ServerMode::kClassic,
                            const std::string& extraConfiguration = "", const DatabaseSetup& setup = DatabaseSetup());

  // Runs a script with isql against the database (or `database`, a file of
  // this root); a relative name is one of sql/.
  void RunScript(const std::filesystem::path& script, const std::filesystem::path& database = {}) const;

  // Makes a further database, file `name` beside this one, with the same
  // module and root, and installs `setup` into it; returns its file. The
  // client library reads its root once per process: databases to be
  // compared side by side in one test are made this way.
  std::filesystem::path AddDatabase(const std::string& name, const DatabaseSetup& setup) const;

  const ModuleDirectory& Module() const { return module_; }
  const PrivateRoot& Root() const { return root_; }
  const std::filesystem::path& DatabasePath() const { return database_; }

  // A new embedded attachment of this process, in character set `charset`,
  // to this database or to one of AddDatabase.
  std::unique_ptr<Connection> Connect(const std::string& charset = "WIN1251") const;
  std::unique_ptr<Connection> ConnectTo(const std::filesystem::path& database, const std::string& charset = "WIN1251") const;

 private:
  ModuleDirectory module_;
  vexa::host::TempDirectory work_;
  PrivateRoot root_;
  std::filesystem::path database_;
};

}  // namespace vexa::firebird

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
#include "tools/temp_directory.h"

namespace vexa_firebird {

// The database's character set and the scripts of sql/ installed into it.
struct DatabaseSetup {
  std::string charset = "WIN1251";
  std::vector<std::string> scripts = {"vexa_functions.sql", "fulltext_index.sql", "example_documents.sql"};
};

class FulltextDatabase {
 public:
  // Also selects the private root for this process (see PrivateRoot).
  explicit FulltextDatabase(const ModuleConfiguration& configuration, ServerMode mode = ServerMode::kClassic,
                            const std::string& extraConfiguration = "", const DatabaseSetup& setup = DatabaseSetup());

  const ModuleDirectory& Module() const { return module_; }
  const PrivateRoot& Root() const { return root_; }
  const std::filesystem::path& DatabasePath() const { return database_; }

  // A new embedded attachment of this process, in character set `charset`.
  std::unique_ptr<Connection> Connect(const std::string& charset = "WIN1251") const;

 private:
  ModuleDirectory module_;
  vexa_host::TempDirectory work_;
  PrivateRoot root_;
  std::filesystem::path database_;
};

}  // namespace vexa_firebird

// Runs SQL scripts with isql-fb, as a user installs the SQL of sql/.
#pragma once

#include <filesystem>
#include <string>

#include "bounded_process.h"

namespace vexa_firebird {

// isql-fb -q -i SCRIPT [DATABASE] under `environment` (a private root).
// Throws std::runtime_error, with what isql printed, when it exits non-zero
// or reports an error.
void RunIsqlScript(const Environment& environment, const std::filesystem::path& script,
                   const std::filesystem::path& database = {});

// Creates `database` with DEFAULT CHARACTER SET WIN1251 through a script
// written beside it.
void CreateDatabase(const Environment& environment, const std::filesystem::path& database);

// Runs vexa_functions.sql, fulltext_index.sql, fulltext_query.sql and
// example_documents.sql of the project's sql/ directory against `database`,
// in that order.
void InstallFulltextSql(const Environment& environment, const std::filesystem::path& database);

}  // namespace vexa_firebird

// Runs SQL scripts with isql-fb, as a user installs the SQL of sql/.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "bounded_process.h"

namespace vexa::firebird {

// The installed isql-fb.
std::string IsqlProgram();

// isql-fb -q -i SCRIPT [DATABASE] under `environment` (a private root).
// Throws std::runtime_error, with what isql printed, when it exits non-zero
// or reports an error.
void RunIsqlScript(const Environment& environment, const std::filesystem::path& script,
                   const std::filesystem::path& database = {});

// Creates `database` with DEFAULT CHARACTER SET `charset` through a script
// written beside it.
void CreateDatabase(const Environment& environment, const std::filesystem::path& database,
                    const std::string& charset = "WIN1251");

// Turns forced writes off (gfix -write async, the gfix beside isql-fb):
// commits no longer wait for the disk, so writers can commit many times
// faster. The database must not be open.
// Runs gfix with `options` on `database`; throws when it fails or says anything.
void RunGfix(const Environment& environment, const std::filesystem::path& database,
             const std::vector<std::string>& options);
void WriteAsynchronously(const Environment& environment, const std::filesystem::path& database);

}  // namespace vexa::firebird

#include "isql.h"

#include <fstream>
#include <stdexcept>

namespace vexa::firebird {
namespace {

constexpr std::chrono::seconds kScriptTimeout{120};

void WriteFile(const std::filesystem::path& path, const std::string& contents) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << contents;
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

std::string IsqlProgram() { return FIREBIRD_ISQL_PATH; }

void RunIsqlScript(const Environment& environment, const std::filesystem::path& script,
                   const std::filesystem::path& database) {
  std::vector<std::string> argv{FIREBIRD_ISQL_PATH, "-q", "-i", std::filesystem::absolute(script).string()};
  if (!database.empty()) argv.push_back(database.string());
  const ProcessOutput output = RunProcess(argv, environment, kScriptTimeout);
  // isql reports a failed statement on standard error and goes on; its exit
  // code alone does not tell.
  if (output.exitCode != 0 || !output.err.empty()) {
    throw std::runtime_error("isql " + script.string() + (output.timedOut ? " timed out" : " failed") + " (exit " +
                             std::to_string(output.exitCode) + "):\n" + output.err + output.out);
  }
}

void CreateDatabase(const Environment& environment, const std::filesystem::path& database, const std::string& charset) {
  const std::filesystem::path script = database.string() + ".create.sql";
  WriteFile(script, "CREATE DATABASE '" + database.string() + "' DEFAULT CHARACTER SET " + charset + ";\n");
  RunIsqlScript(environment, script);
  std::filesystem::remove(script);
}

void RunGfix(const Environment& environment, const std::filesystem::path& database,
             const std::vector<std::string>& options) {
  const std::filesystem::path gfix = std::filesystem::path(IsqlProgram()).parent_path() / "gfix";
  std::vector<std::string> command{gfix.string()};
  command.insert(command.end(), options.begin(), options.end());
  command.push_back(database.string());
  const ProcessOutput output = RunProcess(command, environment, kScriptTimeout);
  if (output.exitCode != 0 || !output.err.empty()) {
    std::string line;
    for (const std::string& part : command) line += part + " ";
    throw std::runtime_error(line + "failed (exit " + std::to_string(output.exitCode) + "):\n" + output.err + output.out);
  }
}

void WriteAsynchronously(const Environment& environment, const std::filesystem::path& database) {
  RunGfix(environment, database, {"-write", "async"});
}

}  // namespace vexa::firebird

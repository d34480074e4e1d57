#include "fulltext_database.h"

#include <stdexcept>

#include "isql.h"

namespace vexa::firebird {

std::filesystem::path SqlScript(const std::string& name) { return std::filesystem::path(VEXA_SQL_DIRECTORY) / name; }

std::vector<std::filesystem::path> FulltextScripts(Splitting splitting) {
  std::vector<std::filesystem::path> scripts;
  if (splitting == Splitting::kUdf) {
    scripts = {SqlScript("vexa_functions.sql"), SqlScript("splitting_udf.sql")};
  } else {
    scripts = {SqlScript("splitting_udr.sql")};
  }
  for (const char* name : {"fulltext_index.sql", "fulltext_search.sql", "fulltext_query.sql", "example_documents.sql"}) {
    scripts.push_back(SqlScript(name));
  }
  return scripts;
}

std::vector<std::filesystem::path> SegmentIndexScripts() {
  return {SqlScript("splitting_udr.sql"), SqlScript("fulltext_udr.sql"), SqlScript("fulltext_indexes.sql"),
          SqlScript("example_documents.sql")};
}

FulltextDatabase::FulltextDatabase(const ModuleConfiguration& configuration, ServerMode mode,
                                   const std::string& extraConfiguration, const DatabaseSetup& setup)
    : module_(configuration),
      root_(work_.Path() / "root", module_.Path(), mode, extraConfiguration),
      database_(work_.Path() / "fulltext.fdb") {
  root_.SelectForThisProcess();
  CreateDatabase(root_.Variables(), database_, setup.charset);
  if (!setup.forcedWrites) WriteAsynchronously(root_.Variables(), database_);
  for (const std::filesystem::path& script : setup.scripts) RunScript(script);
}

void FulltextDatabase::RunScript(const std::filesystem::path& script, const std::filesystem::path& database) const {
  RunIsqlScript(root_.Variables(), script.is_relative() ? std::filesystem::path(VEXA_SQL_DIRECTORY) / script : script,
                database.empty() ? database_ : database);
}

std::filesystem::path FulltextDatabase::AddDatabase(const std::string& name, const DatabaseSetup& setup) const {
  const std::filesystem::path database = work_.Path() / name;
  if (database == database_ || std::filesystem::exists(database)) throw std::logic_error("a database " + name + " exists");
  CreateDatabase(root_.Variables(), database, setup.charset);
  if (!setup.forcedWrites) WriteAsynchronously(root_.Variables(), database);
  for (const std::filesystem::path& script : setup.scripts) RunScript(script, database);
  return database;
}

std::unique_ptr<Connection> FulltextDatabase::Connect(const std::string& charset) const {
  return ConnectTo(database_, charset);
}

std::unique_ptr<Connection> FulltextDatabase::ConnectTo(const std::filesystem::path& database,
                                                        const std::string& charset) const {
  ConnectionOptions options;
  options.database = database.string();
  options.charset = charset;
  return std::make_unique<Connection>(options);
}

}  // namespace vexa::firebird

#include "fulltext_database.h"

#include "isql.h"

namespace vexa_firebird {

FulltextDatabase::FulltextDatabase(const ModuleConfiguration& configuration, ServerMode mode,
                                   const std::string& extraConfiguration, const DatabaseSetup& setup)
    : module_(configuration),
      root_(work_.Path() / "root", module_.Path(), mode, extraConfiguration),
      database_(work_.Path() / "fulltext.fdb") {
  root_.SelectForThisProcess();
  CreateDatabase(root_.Variables(), database_, setup.charset);
  InstallSql(root_.Variables(), database_, setup.scripts);
}

std::unique_ptr<Connection> FulltextDatabase::Connect(const std::string& charset) const {
  ConnectionOptions options;
  options.database = database_.string();
  options.charset = charset;
  return std::make_unique<Connection>(options);
}

}  // namespace vexa_firebird

#include "bench/scale/database_clients.h"

#include <chrono>
#include <cstdlib>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "bench/scale/bench_io.h"
#include "isql.h"
#include "support/windows1251_utf8.h"

namespace fs = std::filesystem;

namespace vexa::scale {
namespace {

// Clears `result`; throws with its message when its status is not `expected`.
void Check(PGresult* result, ExecStatusType expected) {
  const bool failed = PQresultStatus(result) != expected;
  const std::string message = failed ? PQresultErrorMessage(result) : "";
  PQclear(result);
  if (failed) throw std::runtime_error("PostgreSQL: " + message);
}

std::string RequiredEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') throw std::runtime_error(std::string(name) + " is not set");
  return value;
}

}  // namespace

// ------------------------------------------------------------ PostgreSQL

PostgresConnection::PostgresConnection(const std::string& conninfo) : connection_(PQconnectdb(conninfo.c_str())) {
  if (PQstatus(connection_) != CONNECTION_OK) {
    const std::string message = PQerrorMessage(connection_);
    PQfinish(connection_);
    throw std::runtime_error("PostgreSQL: " + message);
  }
}

PostgresConnection::~PostgresConnection() { PQfinish(connection_); }

void PostgresConnection::BeginBatch() {
  if (!batchOpen_) Exec("BEGIN");
  batchOpen_ = true;
}

void PostgresConnection::CommitBatch() {
  if (batchOpen_) Exec("COMMIT");
  batchOpen_ = false;
}

void PostgresConnection::Exec(const std::string& sql) { Check(PQexec(connection_, sql.c_str()), PGRES_COMMAND_OK); }

std::string PostgresConnection::Value(const std::string& sql) {
  PGresult* result = PQexec(connection_, sql.c_str());
  if (PQresultStatus(result) != PGRES_TUPLES_OK || PQntuples(result) == 0) {
    Check(result, PGRES_TUPLES_OK);
    throw std::runtime_error("PostgreSQL: no row from " + sql);
  }
  std::string value = PQgetvalue(result, 0, 0);
  PQclear(result);
  return value;
}

void PostgresConnection::Prepare(const std::string& name, const std::string& sql, int parameters) {
  Check(PQprepare(connection_, name.c_str(), sql.c_str(), parameters, nullptr), PGRES_COMMAND_OK);
}

void PostgresConnection::ExecPrepared(const std::string& name, const std::vector<std::string>& parameters) {
  std::vector<const char*> values;
  for (const std::string& parameter : parameters) values.push_back(parameter.c_str());
  Check(PQexecPrepared(connection_, name.c_str(), static_cast<int>(values.size()), values.data(), nullptr, nullptr, 0),
        PGRES_COMMAND_OK);
}

std::vector<std::int64_t> PostgresConnection::Integers(const std::string& sql, const std::vector<std::string>& parameters) {
  std::vector<const char*> values;
  for (const std::string& parameter : parameters) values.push_back(parameter.c_str());
  PGresult* result = PQexecParams(connection_, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(),
                                  nullptr, nullptr, 0);
  if (PQresultStatus(result) != PGRES_TUPLES_OK) Check(result, PGRES_TUPLES_OK);
  std::vector<std::int64_t> integers;
  for (int row = 0; row < PQntuples(result); ++row) integers.push_back(std::stoll(PQgetvalue(result, row, 0)));
  PQclear(result);
  return integers;
}

void PostgresConnection::SelectOne() { Integers("SELECT 1 WHERE 1 = $1", {"1"}); }

// ---------------------------------------------------------------- SQLite

SqliteDatabase::SqliteDatabase(const fs::path& path) : path_(path) {
  fs::remove(path_);
  if (sqlite3_open(path_.c_str(), &db_) != SQLITE_OK) {
    sqlite3_close(db_);
    throw std::runtime_error("cannot open " + path_.string());
  }
}

SqliteDatabase::~SqliteDatabase() { sqlite3_close(db_); }

void SqliteDatabase::BeginBatch() {
  if (!batchOpen_) Exec("BEGIN");
  batchOpen_ = true;
}

void SqliteDatabase::CommitBatch() {
  if (batchOpen_) Exec("COMMIT");
  batchOpen_ = false;
}

void SqliteDatabase::Exec(const std::string& sql) {
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail(sql);
}

std::int64_t SqliteDatabase::Integer(const std::string& sql) {
  SqliteStatement statement(*this, sql);
  if (!statement.Step()) Fail("no row from " + sql);
  return statement.Integer(0);
}

std::int64_t SqliteDatabase::FileBytes() const { return static_cast<std::int64_t>(fs::file_size(path_)); }

void SqliteDatabase::SelectOne() {
  SqliteStatement statement(*this, "SELECT 1 WHERE 1 = ?");
  statement.Bind(1, std::int64_t{1});
  if (!statement.Step()) Fail("SELECT 1");
}

void SqliteDatabase::Fail(const std::string& what) const {
  throw std::runtime_error("SQLite " + what + ": " + sqlite3_errmsg(db_));
}

SqliteStatement::SqliteStatement(SqliteDatabase& database, const std::string& sql) : database_(database) {
  if (sqlite3_prepare_v2(database.Handle(), sql.c_str(), -1, &statement_, nullptr) != SQLITE_OK) database.Fail(sql);
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(statement_); }

void SqliteStatement::Bind(int index, std::int64_t value) {
  if (sqlite3_bind_int64(statement_, index, value) != SQLITE_OK) database_.Fail("bind");
}

void SqliteStatement::Bind(int index, const std::string& text) {
  if (sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC) != SQLITE_OK) {
    database_.Fail("bind");
  }
}

bool SqliteStatement::Step() {
  const int step = sqlite3_step(statement_);
  if (step != SQLITE_ROW && step != SQLITE_DONE) database_.Fail(sqlite3_sql(statement_));
  return step == SQLITE_ROW;
}

std::int64_t SqliteStatement::Integer(int column) { return sqlite3_column_int64(statement_, column); }

std::vector<std::int64_t> SqliteStatement::Integers() {
  std::vector<std::int64_t> integers;
  while (Step()) integers.push_back(Integer(0));
  return integers;
}

void SqliteStatement::Reset() {
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
}

// -------------------------------------------------------------- Firebird

FirebirdDatabase::FirebirdDatabase(const fs::path& work, const std::vector<fs::path>& scripts, const std::string& charset)
    : database_(work / "bench.fdb"), utf8_(charset == "UTF8") {
  for (const char* name : {"FIREBIRD", "FIREBIRD_LOCK", "FIREBIRD_TMP"}) {
    environment_.emplace_back(name, RequiredEnvironment(name));
  }
  const fs::path create = work / "create_database.sql";
  WriteFile(create, "CREATE DATABASE '" + database_.string() + "' PAGE_SIZE 16384 DEFAULT CHARACTER SET " + charset + ";\n");
  firebird::RunIsqlScript(environment_, create);
  Tool({"gfix", "-buffers", "4096", database_.string()});
  for (const fs::path& script : scripts) firebird::RunIsqlScript(environment_, script, database_);
  firebird::ConnectionOptions options;
  options.database = database_.string();
  options.charset = charset;
  connection_ = std::make_unique<firebird::Connection>(options);
}

firebird::Transaction& FirebirdDatabase::BeginBatch() {
  if (!batch_) batch_ = std::make_unique<firebird::Transaction>(*connection_);
  return *batch_;
}

void FirebirdDatabase::CommitBatch() {
  if (batch_) batch_->Commit();
  batch_.reset();
}

std::string FirebirdDatabase::Text(const std::string& utf8) const {
  return utf8_ ? utf8 : support::Utf8ToWindows1251(utf8);
}

bool FirebirdDatabase::HasTable(const std::string& name) {
  const auto rows = connection_->RunCommitted("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = ?", {name});
  return firebird::AsInteger(rows.at(0).at(0)) > 0;
}

void FirebirdDatabase::SetIndexStatistics() {
  connection_->RunCommitted(
      "EXECUTE BLOCK AS DECLARE NAME VARCHAR(63); BEGIN "
      "FOR SELECT TRIM(RDB$INDEX_NAME) FROM RDB$INDICES WHERE RDB$RELATION_NAME STARTING WITH 'FT_' INTO :NAME DO "
      "EXECUTE STATEMENT 'SET STATISTICS INDEX \"' || NAME || '\"'; END");
}

std::int64_t FirebirdDatabase::IndexBytes() {
  const std::string report = Tool({"fbstat", "-r", database_.string()});
  std::smatch match;
  if (!std::regex_search(report, match, std::regex(R"(Page size\s+(\d+))"))) {
    throw std::runtime_error("fbstat -r gave no page size:\n" + report);
  }
  const std::int64_t pageSize = std::stoll(match[1]);
  std::int64_t pages = 0;
  bool inIndexTable = false;
  std::istringstream lines(report);
  std::string line;
  static const std::regex tableHeading(R"(^(\S+) \(\d+\)\s*$)");
  static const std::regex counted(R"((Data pages|blob pages|leaf buckets):\s*(\d+))");
  while (std::getline(lines, line)) {
    if (std::regex_match(line, match, tableHeading)) inIndexTable = match[1].str().rfind("FT_", 0) == 0;
    if (!inIndexTable) continue;
    for (auto it = std::sregex_iterator(line.begin(), line.end(), counted); it != std::sregex_iterator(); ++it) {
      pages += std::stoll((*it)[2]);
    }
  }
  return pages * pageSize;
}

std::int64_t FirebirdDatabase::FileBytes() const { return static_cast<std::int64_t>(fs::file_size(database_)); }

void FirebirdDatabase::SelectOne() { connection_->RunCommitted("SELECT 1 FROM RDB$DATABASE WHERE 1 = ?", {std::int64_t{1}}); }

std::string FirebirdDatabase::Tool(std::vector<std::string> argv) {
  argv[0] = "/usr/bin/" + argv[0];
  const auto output = firebird::RunProcess(argv, environment_, std::chrono::minutes(30));
  if (output.exitCode != 0) throw std::runtime_error(argv[0] + " failed: " + output.err + output.out);
  return output.out;
}

}  // namespace vexa::scale

// The databases the scale benchmark's systems are built on: a PostgreSQL
// connection, an SQLite database file with its statements, and a new
// Firebird database with Vexa's SQL files run into it. Each loads documents
// in batches: BeginBatch opens a transaction unless one is open, CommitBatch
// commits the open one, if any. Errors are thrown as std::runtime_error.
#pragma once

#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bounded_process.h"
#include "sql_connection.h"

namespace vexa::scale {

// ------------------------------------------------------------ PostgreSQL

class PostgresConnection {
 public:
  explicit PostgresConnection(const std::string& conninfo);
  ~PostgresConnection();
  PostgresConnection(const PostgresConnection&) = delete;
  PostgresConnection& operator=(const PostgresConnection&) = delete;

  void BeginBatch();
  void CommitBatch();
  // A statement that returns no rows.
  void Exec(const std::string& sql);
  // The first column of the first row.
  std::string Value(const std::string& sql);
  void Prepare(const std::string& name, const std::string& sql, int parameters);
  void ExecPrepared(const std::string& name, const std::vector<std::string>& parameters);
  // The first column of every row of a query with text parameters, as integers.
  std::vector<std::int64_t> Integers(const std::string& sql, const std::vector<std::string>& parameters);
  // SELECT 1 with a parameter: the cheapest statement, sent as a search is.
  void SelectOne();

 private:
  PGconn* connection_;
  bool batchOpen_ = false;
};

// ---------------------------------------------------------------- SQLite

class SqliteDatabase {
 public:
  // Opens `path`, made anew.
  explicit SqliteDatabase(const std::filesystem::path& path);
  ~SqliteDatabase();
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;

  void BeginBatch();
  void CommitBatch();
  void Exec(const std::string& sql);
  // The first column of the first row.
  std::int64_t Integer(const std::string& sql);
  std::int64_t FileBytes() const;
  // SELECT 1 with a parameter: the cheapest statement, sent as a search is.
  void SelectOne();
  [[noreturn]] void Fail(const std::string& what) const;
  sqlite3* Handle() const { return db_; }

 private:
  std::filesystem::path path_;
  sqlite3* db_ = nullptr;
  bool batchOpen_ = false;
};

// A prepared statement, finalized when it goes.
class SqliteStatement {
 public:
  SqliteStatement(SqliteDatabase& database, const std::string& sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  void Bind(int index, std::int64_t value);
  // REQUIRES: `text` lives until the statement is reset or finalized.
  void Bind(int index, const std::string& text);
  // Steps to the next row: false when there is none.
  bool Step();
  std::int64_t Integer(int column);
  // The first column of every row left.
  std::vector<std::int64_t> Integers();
  // Ready to run again, with new values bound.
  void Reset();

 private:
  SqliteDatabase& database_;
  sqlite3_stmt* statement_ = nullptr;
};

// -------------------------------------------------------------- Firebird

class FirebirdDatabase {
 public:
  // Makes WORK/bench.fdb (page size 16384, DEFAULT CHARACTER SET `charset`:
  // WIN1251 or UTF8) with a 64 MiB page cache, as the main job does, and
  // forced writes on; runs `scripts` into it with isql and attaches in
  // `charset`. Needs FIREBIRD, FIREBIRD_LOCK and FIREBIRD_TMP of a private
  // root.
  FirebirdDatabase(const std::filesystem::path& work, const std::vector<std::filesystem::path>& scripts,
                   const std::string& charset);

  firebird::Connection& Attachment() { return *connection_; }
  // The transaction of the batch, opened when none is.
  firebird::Transaction& BeginBatch();
  void CommitBatch();
  // UTF-8 text in the database's character set.
  std::string Text(const std::string& utf8) const;
  bool HasTable(const std::string& name);
  // SET STATISTICS for the indexes of the tables named FT_...: fresh
  // selectivity after a bulk load, as PostgreSQL's ANALYZE.
  void SetIndexStatistics();
  // The data, blob and index leaf pages of the tables named FT_..., as
  // fbstat counts them, in bytes: 0 when there are none.
  std::int64_t IndexBytes();
  std::int64_t FileBytes() const;
  // SELECT 1 with a parameter, in a transaction of its own: the cheapest
  // statement, sent as a search is.
  void SelectOne();

 private:
  std::string Tool(std::vector<std::string> argv);

  std::filesystem::path database_;
  bool utf8_;
  firebird::Environment environment_;
  std::unique_ptr<firebird::Connection> connection_;
  std::unique_ptr<firebird::Transaction> batch_;
};

}  // namespace vexa::scale

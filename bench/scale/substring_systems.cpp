#include "bench/scale/substring_systems.h"

#include <stdexcept>

#include "bench/scale/database_clients.h"
#include "bench/scale/query_syntax.h"
#include "index_queries.h"

namespace vexa::scale {
namespace {

using Ids = std::vector<std::int64_t>;

// ------------------------------------------ Firebird: Vexa and CONTAINING

class FirebirdSubstringSystem : public SubstringSystem {
 public:
  // With `indexed`, the trigram index over the table, searched with
  // FT_CONTAINING; else a plain database, searched with CONTAINING.
  FirebirdSubstringSystem(const RunOptions& options, bool indexed)
      : database_(options.work, indexed ? options.sql : std::vector<std::filesystem::path>{}, options.charset),
        indexed_(indexed) {
    firebird::Connection& sql = database_.Attachment();
    sql.RunCommitted("CREATE TABLE DOCUMENTS (ID BIGINT NOT NULL, BODY BLOB SUB_TYPE TEXT, "
                     "CONSTRAINT PK_DOCUMENTS PRIMARY KEY (ID))");
    if (indexed_) sql.RunCommitted("EXECUTE PROCEDURE FT_CREATE_INDEX('DOCUMENTS_SUBSTRINGS', 'DOCUMENTS', 'ID', 'BODY', 'trigram')");
  }

  void Insert(std::int64_t id, const std::string& text) override {
    firebird::InsertDocument(database_.Attachment(), database_.BeginBatch(), id, firebird::BlobText{database_.Text(text)});
  }

  void Commit() override { database_.CommitBatch(); }

  void AfterLoad() override { database_.SetIndexStatistics(); }

  Sizes Size() override {
    const std::int64_t index = database_.IndexBytes();
    if (indexed_ && index == 0) throw std::runtime_error("fbstat -r counted no pages of the FT_ tables");
    return Sizes{database_.FileBytes(), index};
  }

  Ids Find(const std::string& pattern) override {
    const std::string sql = indexed_ ? "SELECT DOC_ID FROM FT_CONTAINING(?, 'DOCUMENTS_SUBSTRINGS')"
                                     : "SELECT ID FROM DOCUMENTS WHERE BODY CONTAINING ?";
    Ids ids;
    for (const firebird::Row& row : database_.Attachment().RunCommitted(sql, {database_.Text(pattern)})) {
      ids.push_back(firebird::AsInteger(row.at(0)));
    }
    return ids;
  }

  void Floor() override { database_.SelectOne(); }

 private:
  FirebirdDatabase database_;
  bool indexed_;
};

// ------------------------------------------------------ PostgreSQL pg_trgm

class PostgresSubstringSystem : public SubstringSystem {
 public:
  explicit PostgresSubstringSystem(const std::string& conninfo) : connection_(conninfo) {
    connection_.Exec("SET client_min_messages = warning");
    connection_.Exec("CREATE EXTENSION IF NOT EXISTS pg_trgm");
    connection_.Exec("DROP TABLE IF EXISTS substring_docs");
    connection_.Exec("CREATE TABLE substring_docs (id BIGINT PRIMARY KEY, body TEXT NOT NULL)");
    connection_.Exec("CREATE INDEX substring_docs_trgm ON substring_docs USING gin (body gin_trgm_ops)");
    connection_.Prepare("insert", "INSERT INTO substring_docs (id, body) VALUES ($1, $2)", 2);
  }

  void Insert(std::int64_t id, const std::string& text) override {
    connection_.BeginBatch();
    connection_.ExecPrepared("insert", {std::to_string(id), text});
  }

  void Commit() override { connection_.CommitBatch(); }

  void AfterLoad() override { connection_.Exec("VACUUM ANALYZE substring_docs"); }

  Sizes Size() override {
    return Sizes{std::stoll(connection_.Value("SELECT pg_total_relation_size('substring_docs')")),
                 std::stoll(connection_.Value("SELECT pg_relation_size('substring_docs_trgm')"))};
  }

  Ids Find(const std::string& pattern) override {
    return connection_.Integers("SELECT id FROM substring_docs WHERE body ILIKE ('%' || $1 || '%')",
                                {PostgresLikeEscaped(pattern)});
  }

  void Floor() override { connection_.SelectOne(); }

 private:
  PostgresConnection connection_;
};

// ------------------------------------------------------ SQLite FTS5 trigram

class Fts5SubstringSystem : public SubstringSystem {
 public:
  explicit Fts5SubstringSystem(const std::filesystem::path& work) : database_(work / "fts5_trigram.db") {
    database_.Exec("CREATE VIRTUAL TABLE docs USING fts5(body, tokenize = 'trigram')");
    insert_ = std::make_unique<SqliteStatement>(database_, "INSERT INTO docs (rowid, body) VALUES (?, ?)");
  }

  void Insert(std::int64_t id, const std::string& text) override {
    database_.BeginBatch();
    insert_->Bind(1, id);
    insert_->Bind(2, text);
    insert_->Step();
    insert_->Reset();
  }

  void Commit() override { database_.CommitBatch(); }

  void AfterLoad() override {}

  // The index: the shadow tables but the copy of the documents.
  Sizes Size() override {
    return Sizes{database_.FileBytes(),
                 database_.Integer("SELECT sum(pgsize) FROM dbstat WHERE name IN ('docs_data', 'docs_idx', 'docs_docsize')")};
  }

  Ids Find(const std::string& pattern) override {
    const std::string like = SqliteSubstringPattern(pattern);
    SqliteStatement statement(database_, "SELECT rowid FROM docs WHERE body LIKE ?");
    statement.Bind(1, like);
    return statement.Integers();
  }

  void Floor() override { database_.SelectOne(); }

 private:
  SqliteDatabase database_;
  std::unique_ptr<SqliteStatement> insert_;
};

}  // namespace

std::unique_ptr<SubstringSystem> MakeSubstringSystem(const RunOptions& options) {
  if (options.system == "firebird") return std::make_unique<FirebirdSubstringSystem>(options, true);
  if (options.system == "firebird-scan") return std::make_unique<FirebirdSubstringSystem>(options, false);
  if (options.system == "postgresql") return std::make_unique<PostgresSubstringSystem>(options.conninfo);
  if (options.system == "fts5") return std::make_unique<Fts5SubstringSystem>(options.work);
  throw std::runtime_error("no substring system " + options.system);
}

}  // namespace vexa::scale

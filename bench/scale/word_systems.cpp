#include "bench/scale/word_systems.h"

#include <stdexcept>
#include <string>

#include "bench/scale/database_clients.h"
#include "bench/scale/query_syntax.h"
#include "index_queries.h"

namespace vexa::scale {
namespace {

using Ids = std::vector<std::int64_t>;

// ------------------------------------------------ Firebird with Vexa

class FirebirdWordSystem : public WordSystem {
 public:
  explicit FirebirdWordSystem(const RunOptions& options) : database_(options.work, options.sql, options.charset) {
    // The portable design keeps a row per document in FT_DOCUMENT; the
    // segment design lists its documents with FT_DOCUMENTS.
    documentTable_ = database_.HasTable("FT_DOCUMENT") ? "FT_DOCUMENT" : "FT_DOCUMENTS";
  }

  void Insert(std::int64_t id, const std::string& text) override {
    firebird::InsertDocument(database_.Attachment(), database_.BeginBatch(), id, firebird::BlobText{database_.Text(text)});
  }

  void Commit() override { database_.CommitBatch(); }

  // Firebird's own step after a bulk load, as PostgreSQL's ANALYZE: fresh
  // selectivity for the index tables' indexes.
  void AfterLoad() override {
    database_.SetIndexStatistics();
    // Neither design needs more after a bulk load. The segment design
    // searches its segments and change rows as the load left them, as FTS5
    // searches its segments without an 'optimize'. Its merge into one segment
    // (EXECUTE PROCEDURE FT_MAINTAIN, which fulltext_udr.sql offers after a
    // bulk load but does not ask for) would go here, untimed, and only beside
    // the peers' own optional step (FTS5's 'optimize'), never for one system
    // alone.
  }

  Counts Count() override {
    const auto rows = database_.Attachment().RunCommitted("SELECT COUNT(*), COALESCE(SUM(WORD_COUNT), 0) FROM " + documentTable_);
    return Counts{firebird::AsInteger(rows.at(0).at(0)), firebird::AsInteger(rows.at(0).at(1))};
  }

  // The index's share: the data, blob and index leaf pages of the FT_ tables.
  Sizes Size() override {
    const std::int64_t index = database_.IndexBytes();
    if (index == 0) throw std::runtime_error("fbstat -r counted no pages of the FT_ tables");
    return Sizes{database_.FileBytes(), index};
  }

  Ids Search(const Query& query, std::int64_t maxRows) override {
    const ProcedureCall call = VexaSearch(query);
    Ids ids;
    for (const auto& hit : firebird::Search(database_.Attachment(), call.procedure, database_.Text(call.text), maxRows)) {
      ids.push_back(hit.id);
    }
    return ids;
  }

  void Floor() override { database_.SelectOne(); }

 private:
  FirebirdDatabase database_;
  std::string documentTable_;
};

// ------------------------------------------------------------ PostgreSQL

class PostgresWordSystem : public WordSystem {
 public:
  explicit PostgresWordSystem(const std::string& conninfo) : connection_(conninfo) {
    connection_.Exec("SET client_min_messages = warning");
    connection_.Exec("DROP TABLE IF EXISTS docs");
    connection_.Exec("CREATE TABLE docs (id BIGINT PRIMARY KEY, body TEXT NOT NULL, "
                     "tsv TSVECTOR GENERATED ALWAYS AS (to_tsvector('simple', body)) STORED)");
    connection_.Exec("CREATE INDEX docs_tsv ON docs USING GIN (tsv)");
    connection_.Prepare("insert", "INSERT INTO docs (id, body) VALUES ($1, $2)", 2);
  }

  void Insert(std::int64_t id, const std::string& text) override {
    connection_.BeginBatch();
    connection_.ExecPrepared("insert", {std::to_string(id), text});
  }

  void Commit() override { connection_.CommitBatch(); }

  void AfterLoad() override { connection_.Exec("VACUUM ANALYZE docs"); }

  Counts Count() override {
    return Counts{std::stoll(connection_.Value("SELECT count(*) FROM docs")),
                  std::stoll(connection_.Value("SELECT coalesce(sum(cardinality(positions)), 0) FROM docs, unnest(tsv)"))};
  }

  Sizes Size() override {
    return Sizes{std::stoll(connection_.Value("SELECT pg_total_relation_size('docs')")),
                 std::stoll(connection_.Value("SELECT pg_relation_size('docs_tsv')"))};
  }

  Ids Search(const Query& query, std::int64_t maxRows) override {
    const TsQuery tsquery = PostgresQuery(query);
    return connection_.Integers("SELECT id FROM docs, " + tsquery.function +
                                    "('simple', $1) q WHERE tsv @@ q ORDER BY ts_rank(tsv, q) DESC, id LIMIT $2",
                                {tsquery.text, std::to_string(maxRows)});
  }

  void Floor() override { connection_.SelectOne(); }

 private:
  PostgresConnection connection_;
};

// ---------------------------------------------------------- SQLite FTS5

class Fts5WordSystem : public WordSystem {
 public:
  explicit Fts5WordSystem(const std::filesystem::path& work) : database_(work / "fts5.db") {
    database_.Exec("CREATE VIRTUAL TABLE docs USING fts5(body, tokenize = 'unicode61')");
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

  Counts Count() override {
    database_.Exec("CREATE VIRTUAL TABLE IF NOT EXISTS temp.docs_vocabulary USING fts5vocab(main, docs, 'row')");
    return Counts{database_.Integer("SELECT count(*) FROM docs"),
                  database_.Integer("SELECT coalesce(sum(cnt), 0) FROM temp.docs_vocabulary")};
  }

  // The index: the shadow tables but the copy of the documents.
  Sizes Size() override {
    return Sizes{database_.FileBytes(),
                 database_.Integer("SELECT sum(pgsize) FROM dbstat WHERE name IN ('docs_data', 'docs_idx', 'docs_docsize')")};
  }

  Ids Search(const Query& query, std::int64_t maxRows) override {
    const std::string match = Fts5Match(query);
    SqliteStatement statement(database_, "SELECT rowid FROM docs WHERE docs MATCH ? ORDER BY rank LIMIT ?");
    statement.Bind(1, match);
    statement.Bind(2, maxRows);
    return statement.Integers();
  }

  void Floor() override { database_.SelectOne(); }

 private:
  SqliteDatabase database_;
  std::unique_ptr<SqliteStatement> insert_;
};

}  // namespace

std::unique_ptr<WordSystem> MakeWordSystem(const RunOptions& options) {
  if (options.system == "firebird") return std::make_unique<FirebirdWordSystem>(options);
  if (options.system == "postgresql") return std::make_unique<PostgresWordSystem>(options.conninfo);
  if (options.system == "fts5") return std::make_unique<Fts5WordSystem>(options.work);
  throw std::runtime_error("no system " + options.system);
}

}  // namespace vexa::scale

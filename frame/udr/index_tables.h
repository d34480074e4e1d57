// The statements over the index's tables (sql/fulltext_udr.sql), prepared
// once for an attachment and run in whichever transaction is given: what
// the index's storage does, as SQL.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "frame/udr/firebird_udr.h"
#include "index/index_columns.h"
#include "index/storage.h"

namespace vexa::udr {

// A statement prepared when it is first run and released with its owner.
class PreparedStatement {
 public:
  explicit PreparedStatement(const char* sql) : sql_(sql) {}
  ~PreparedStatement();
  PreparedStatement(const PreparedStatement&) = delete;
  PreparedStatement& operator=(const PreparedStatement&) = delete;

  Firebird::IStatement* Get(Status* status, Firebird::IAttachment* attachment, Firebird::ITransaction* transaction);

 private:
  const char* sql_;
  Firebird::IStatement* statement_ = nullptr;
};

// Where the statements run: an attachment and one of its transactions.
struct Connection {
  Status* status;
  Firebird::IMaster* master;
  Firebird::IAttachment* attachment;
  Firebird::ITransaction* transaction;
};

// The table an index is over and its key column, as FT_INDEX_SOURCES holds them.
struct TableSource {
  std::string table;
  std::string keyColumn;
};

// An index as FT_INDEXES holds it: its id, and the analyzer it records
// (empty where none is: an index made before analyzers had names).
struct IndexRecord {
  std::int16_t id = 0;
  std::string analyzer;
};

class IndexTables {
 public:
  explicit IndexTables(Status* status, Firebird::IMaster* master);
  ~IndexTables();
  IndexTables(const IndexTables&) = delete;
  IndexTables& operator=(const IndexTables&) = delete;

  // The index named `name`, or nullopt when there is none.
  std::optional<IndexRecord> FindIndex(const Connection& connection, const std::string& name);
  // The default character set of the database that holds the index, as the
  // engine names it (UTF8, WIN1251, NONE, ...).
  std::string DatabaseCharset(const Connection& connection, std::int16_t index);
  // The text columns of an index over a table, in order; none for an index
  // fed by FT_INDEX (or where the database has no FT_INDEX_COLUMNS).
  index::IndexColumns Columns(const Connection& connection, std::int16_t index);
  // The table of an index over a table's columns; nullopt for one fed by FT_INDEX.
  std::optional<TableSource> Source(const Connection& connection, std::int16_t index);

  // Adds the row, with a new version from FT_VERSIONS, which it returns.
  index::Version AddChange(const Connection& connection, std::int16_t index, const index::ChangeRow& change);
  void ReadChanges(const Connection& connection, std::int16_t index, index::TransactionId fromWriter, bool withPostings,
                   const std::function<void(index::ChangeRow&&)>& row);
  // The change rows the connection's transaction wrote: those it made
  // itself (their record version is its number), not others' whose WRITER
  // only happens to be its number, as rows a replica applies carry the
  // numbers of the primary's transactions.
  void ReadOwnChanges(const Connection& connection, std::int16_t index, bool withPostings,
                      const std::function<void(index::ChangeRow&&)>& row);
  void ReadDocumentChanges(const Connection& connection, std::int16_t index, index::DocumentId document,
                           const std::function<void(index::ChangeRow&&)>& row);
  void DeleteChanges(const Connection& connection, std::int16_t index, index::TransactionId belowWriter,
                     const std::vector<index::TransactionId>& writers);

  // With `lock`, the row is held for the transaction, NO WAIT: a Firebird
  // error (lock or update conflict) when another holds or changed it.
  std::optional<std::string> ReadStructure(const Connection& connection, std::int16_t index, bool lock);
  void WriteStructure(const Connection& connection, std::int16_t index, const std::string& structure);

  void ReadPages(const Connection& connection, index::SegmentId segment, std::uint32_t first, std::uint32_t count,
                 const std::function<void(std::uint32_t, std::optional<index::PageBytes>&&)>& page);
  void WritePage(const Connection& connection, index::SegmentId segment, std::uint32_t page, const index::PageBytes& bytes);
  void DeleteSegment(const Connection& connection, index::SegmentId segment);
  // Reads the (deleted) rows of a segment, or the change rows written below
  // `belowWriter`: a read finds what no transaction needs and frees it.
  void VisitPages(const Connection& connection, index::SegmentId segment);
  void VisitChanges(const Connection& connection, std::int16_t index, index::TransactionId belowWriter);
  index::SegmentId NewSegmentId(const Connection& connection);

  // Whether the database has the tables of indexes over a table's columns
  // (sql/fulltext_indexes.sql).
  bool HasIndexSources(const Connection& connection);

  // The largest page the pages' column holds.
  static constexpr std::size_t kPageBytes = 4000;

 private:
  // The change row just fetched into the row message.
  index::ChangeRow FetchedChange(const Connection& connection, bool withPostings);

  struct Messages;
  std::unique_ptr<Messages> messages_;
};

}  // namespace vexa::udr

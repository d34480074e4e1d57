#include "frame/udr/index_tables.h"

#include <cstring>
#include <string_view>

#include "frame/udr/blob_text.h"
#include "frame/udr/routine_error.h"
#include "index/structure.h"

namespace vexa::udr {
namespace {

// Values up to this many bytes go into the VARCHAR column of a pair, longer
// ones into its BLOB column.
constexpr unsigned kInlineBytes = 4000;
constexpr unsigned kInlineStructure = 8000;
// FT_INDEXES.ANALYZER, VARCHAR(255) CHARACTER SET UTF8.
constexpr unsigned kAnalyzerBytes = 255 * 4;

FB_MESSAGE(IndexName, Status, (FB_VARCHAR(63), name));
FB_MESSAGE(IndexIdRow, Status, (FB_SMALLINT, id)(FB_VARCHAR(kAnalyzerBytes), analyzer));
FB_MESSAGE(CharsetRow, Status, (FB_VARCHAR(63 * 4), name));
FB_MESSAGE(CountRow, Status, (FB_INTEGER, count));
FB_MESSAGE(ColumnRow, Status, (FB_VARCHAR(63 * 4), name)(FB_DOUBLE, weight));
FB_MESSAGE(SourceRow, Status, (FB_VARCHAR(63 * 4), table)(FB_VARCHAR(63 * 4), key));
FB_MESSAGE(DocumentKey, Status, (FB_SMALLINT, index)(FB_BIGINT, document));
FB_MESSAGE(VersionRow, Status, (FB_BIGINT, version));
FB_MESSAGE(ChangeWrite, Status,
           (FB_SMALLINT, index)(FB_BIGINT, document)(FB_SMALLINT, removed)(FB_INTEGER, crc)(FB_INTEGER, length)
           (FB_SMALLINT, replaced)(FB_INTEGER, replacedLength)(FB_VARCHAR(kInlineBytes), postings)(FB_BLOB, longPostings));
FB_MESSAGE(ChangeFilter, Status, (FB_SMALLINT, index)(FB_BIGINT, writer));
FB_MESSAGE(ChangeRowMessage, Status,
           (FB_BIGINT, writer)(FB_BIGINT, document)(FB_BIGINT, version)(FB_SMALLINT, removed)(FB_INTEGER, crc)
           (FB_INTEGER, length)(FB_SMALLINT, replaced)(FB_INTEGER, replacedLength)(FB_VARCHAR(kInlineBytes), postings)
           (FB_BLOB, longPostings));
FB_MESSAGE(StructureKey, Status, (FB_SMALLINT, index));
FB_MESSAGE(StructureRow, Status, (FB_VARCHAR(kInlineStructure), structure)(FB_BLOB, longStructure));
FB_MESSAGE(StructureWrite, Status, (FB_VARCHAR(kInlineStructure), structure)(FB_BLOB, longStructure)(FB_SMALLINT, index));
FB_MESSAGE(PageKey, Status, (FB_BIGINT, segment)(FB_INTEGER, page));
FB_MESSAGE(PageRange, Status, (FB_BIGINT, segment)(FB_INTEGER, first)(FB_INTEGER, last));
FB_MESSAGE(PageRow, Status, (FB_INTEGER, page)(FB_VARCHAR(IndexTables::kPageBytes), bytes));
FB_MESSAGE(PageWrite, Status, (FB_BIGINT, segment)(FB_INTEGER, page)(FB_VARCHAR(IndexTables::kPageBytes), bytes));
FB_MESSAGE(SegmentKey, Status, (FB_BIGINT, segment));

// Puts `bytes` into a VARCHAR and BLOB pair of a message.
template <typename Varchar>
void PutLong(const Connection& connection, std::string_view bytes, Varchar& inline_, ISC_SHORT& inlineNull, ISC_QUAD& blob,
             ISC_SHORT& blobNull) {
  if (bytes.size() <= sizeof inline_.str) {
    inline_.length = static_cast<ISC_USHORT>(bytes.size());
    std::memcpy(inline_.str, bytes.data(), bytes.size());
    inlineNull = FB_FALSE;
    blobNull = FB_TRUE;
  } else {
    blob = WriteBlob(connection.status, connection.attachment, connection.transaction, bytes);
    blobNull = FB_FALSE;
    inlineNull = FB_TRUE;
  }
}

// The bytes of a VARCHAR and BLOB pair of a message.
template <typename Varchar>
std::string GetLong(const Connection& connection, const Varchar& inline_, ISC_SHORT inlineNull, const ISC_QUAD& blob,
                    ISC_SHORT blobNull) {
  if (!inlineNull) return std::string(inline_.str, inline_.length);
  if (!blobNull) return ReadBlob(connection.status, connection.attachment, connection.transaction, blob);
  return std::string();
}

// Runs a statement that returns no rows.
void Execute(const Connection& connection, PreparedStatement& statement, Firebird::IMessageMetadata* inMetadata,
             void* in) {
  statement.Get(connection.status, connection.attachment, connection.transaction)
      ->execute(connection.status, connection.transaction, inMetadata, in, nullptr, nullptr);
}

// Runs a query and calls `row` with each row fetched into `out`.
template <typename In, typename Out, typename Row>
void Query(const Connection& connection, PreparedStatement& statement, In& in, Out& out, const Row& row) {
  Firebird::IResultSet* cursor = statement.Get(connection.status, connection.attachment, connection.transaction)
                                     ->openCursor(connection.status, connection.transaction, in.getMetadata(),
                                                  in.getData(), out.getMetadata(), 0);
  try {
    while (cursor->fetchNext(connection.status, out.getData()) == Firebird::IStatus::RESULT_OK) row();
    cursor->close(connection.status);  // releases it
  } catch (...) {
    cursor->release();
    throw;
  }
}

// Runs a query for one row; false when there is none.
template <typename In, typename Out>
bool QueryOne(const Connection& connection, PreparedStatement& statement, In& in, Out& out) {
  bool found = false;
  Query(connection, statement, in, out, [&found] { found = true; });
  return found;
}

}  // namespace

PreparedStatement::~PreparedStatement() {
  if (statement_ != nullptr) statement_->release();
}

Firebird::IStatement* PreparedStatement::Get(Status* status, Firebird::IAttachment* attachment,
                                             Firebird::ITransaction* transaction) {
  if (statement_ == nullptr) {
    statement_ = attachment->prepare(status, transaction, 0, sql_, SQL_DIALECT_V6,
                                     Firebird::IStatement::PREPARE_PREFETCH_METADATA);
  }
  return statement_;
}

struct IndexTables::Messages {
  Messages(Status* status, Firebird::IMaster* master)
      : indexName(status, master), indexIdRow(status, master), documentKey(status, master),
        versionRow(status, master), changeWrite(status, master),
        changeFilter(status, master), changeRow(status, master), structureKey(status, master), structureRow(status, master),
        structureWrite(status, master), pageKey(status, master), pageRange(status, master), pageRow(status, master),
        pageWrite(status, master), segmentKey(status, master), countRow(status, master),
        columnRow(status, master), sourceRow(status, master), charsetRow(status, master) {}

  IndexName indexName;
  IndexIdRow indexIdRow;
  DocumentKey documentKey;
  VersionRow versionRow;
  ChangeWrite changeWrite;
  ChangeFilter changeFilter;
  ChangeRowMessage changeRow;
  StructureKey structureKey;
  StructureRow structureRow;
  StructureWrite structureWrite;
  PageKey pageKey;
  PageRange pageRange;
  PageRow pageRow;
  PageWrite pageWrite;
  SegmentKey segmentKey;
  CountRow countRow;
  ColumnRow columnRow;
  SourceRow sourceRow;
  CharsetRow charsetRow;
  // Whether FT_INDEXES has its ANALYZER column; unknown until first asked.
  std::optional<bool> hasAnalyzers;

  PreparedStatement relationCount{"SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = ?"};
  PreparedStatement selectColumns{
      "SELECT COLUMN_NAME, WEIGHT FROM FT_INDEX_COLUMNS WHERE INDEX_ID = ? ORDER BY COLUMN_NO"};
  PreparedStatement selectSource{"SELECT TABLE_NAME, KEY_COLUMN FROM FT_INDEX_SOURCES WHERE INDEX_ID = ?"};
  PreparedStatement fieldCount{
      "SELECT COUNT(*) FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = 'FT_INDEXES' AND RDB$FIELD_NAME = ?"};
  PreparedStatement selectIndex{"SELECT INDEX_ID, ANALYZER FROM FT_INDEXES WHERE INDEX_NAME = ?"};
  // Where the indexes were made before they recorded an analyzer.
  PreparedStatement selectIndexWithoutAnalyzer{
      "SELECT INDEX_ID, CAST(NULL AS VARCHAR(255) CHARACTER SET UTF8) FROM FT_INDEXES WHERE INDEX_NAME = ?"};
  PreparedStatement selectCharset{
      "SELECT D.RDB$CHARACTER_SET_NAME FROM FT_INDEXES I CROSS JOIN RDB$DATABASE D WHERE I.INDEX_ID = ?"};
  PreparedStatement insertChange{
      "INSERT INTO FT_CHANGE (INDEX_ID, WRITER, DOC_ID, VERSION, REMOVED, CRC, WORD_COUNT, REPLACED, "
      "REPLACED_WORD_COUNT, POSTINGS, LONG_POSTINGS) "
      "VALUES (?, CURRENT_TRANSACTION, ?, NEXT VALUE FOR FT_VERSIONS, ?, ?, ?, ?, ?, ?, ?) RETURNING VERSION"};
  PreparedStatement selectChanges{
      "SELECT WRITER, DOC_ID, VERSION, REMOVED, CRC, WORD_COUNT, REPLACED, REPLACED_WORD_COUNT, POSTINGS, LONG_POSTINGS "
      "FROM FT_CHANGE WHERE INDEX_ID = ? AND WRITER >= ?"};
  PreparedStatement selectChangesWithoutPostings{
      "SELECT WRITER, DOC_ID, VERSION, REMOVED, CRC, WORD_COUNT, REPLACED, REPLACED_WORD_COUNT, "
      "CAST(NULL AS VARCHAR(1) CHARACTER SET OCTETS), CAST(NULL AS BLOB SUB_TYPE BINARY) "
      "FROM FT_CHANGE WHERE INDEX_ID = ? AND WRITER >= ?"};
  PreparedStatement selectOwnChanges{
      "SELECT WRITER, DOC_ID, VERSION, REMOVED, CRC, WORD_COUNT, REPLACED, REPLACED_WORD_COUNT, POSTINGS, LONG_POSTINGS "
      "FROM FT_CHANGE WHERE INDEX_ID = ? AND WRITER = CURRENT_TRANSACTION AND RDB$RECORD_VERSION = CURRENT_TRANSACTION"};
  PreparedStatement selectOwnChangesWithoutPostings{
      "SELECT WRITER, DOC_ID, VERSION, REMOVED, CRC, WORD_COUNT, REPLACED, REPLACED_WORD_COUNT, "
      "CAST(NULL AS VARCHAR(1) CHARACTER SET OCTETS), CAST(NULL AS BLOB SUB_TYPE BINARY) "
      "FROM FT_CHANGE WHERE INDEX_ID = ? AND WRITER = CURRENT_TRANSACTION AND RDB$RECORD_VERSION = CURRENT_TRANSACTION"};
  PreparedStatement selectDocumentChanges{
      "SELECT WRITER, DOC_ID, VERSION, REMOVED, CRC, WORD_COUNT, REPLACED, REPLACED_WORD_COUNT, "
      "CAST(NULL AS VARCHAR(1) CHARACTER SET OCTETS), CAST(NULL AS BLOB SUB_TYPE BINARY) "
      "FROM FT_CHANGE WHERE INDEX_ID = ? AND DOC_ID = ?"};
  PreparedStatement deleteChangesBelow{"DELETE FROM FT_CHANGE WHERE INDEX_ID = ? AND WRITER < ?"};
  PreparedStatement deleteChangesOf{"DELETE FROM FT_CHANGE WHERE INDEX_ID = ? AND WRITER = ?"};
  PreparedStatement selectStructure{"SELECT STRUCTURE, LONG_STRUCTURE FROM FT_STRUCTURE WHERE INDEX_ID = ?"};
  PreparedStatement lockStructure{
      "SELECT STRUCTURE, LONG_STRUCTURE FROM FT_STRUCTURE WHERE INDEX_ID = ? WITH LOCK"};
  PreparedStatement updateStructure{"UPDATE FT_STRUCTURE SET STRUCTURE = ?, LONG_STRUCTURE = ? WHERE INDEX_ID = ?"};
  PreparedStatement selectPage{"SELECT PAGE_NO, PAGE_DATA FROM FT_SEGMENT_PAGE WHERE SEGMENT_ID = ? AND PAGE_NO = ?"};
  PreparedStatement selectPages{
      "SELECT PAGE_NO, PAGE_DATA FROM FT_SEGMENT_PAGE WHERE SEGMENT_ID = ? AND PAGE_NO BETWEEN ? AND ? ORDER BY PAGE_NO"};
  PreparedStatement insertPage{"INSERT INTO FT_SEGMENT_PAGE (SEGMENT_ID, PAGE_NO, PAGE_DATA) VALUES (?, ?, ?)"};
  PreparedStatement deleteSegment{"DELETE FROM FT_SEGMENT_PAGE WHERE SEGMENT_ID = ?"};
  PreparedStatement nextSegment{"SELECT NEXT VALUE FOR FT_SEGMENTS FROM RDB$DATABASE"};
  PreparedStatement visitPages{"SELECT COUNT(*) FROM FT_SEGMENT_PAGE WHERE SEGMENT_ID = ?"};
  PreparedStatement visitChanges{"SELECT COUNT(*) FROM FT_CHANGE WHERE INDEX_ID = ? AND WRITER < ?"};
};

IndexTables::IndexTables(Status* status, Firebird::IMaster* master)
    : messages_(std::make_unique<Messages>(status, master)) {}

IndexTables::~IndexTables() = default;

std::optional<IndexRecord> IndexTables::FindIndex(const Connection& connection, const std::string& name) {
  Messages& m = *messages_;
  if (name.size() > sizeof m.indexName->name.str) return std::nullopt;
  if (!m.hasAnalyzers) {
    const std::string field = "ANALYZER";
    m.indexName->nameNull = FB_FALSE;
    m.indexName->name.length = static_cast<ISC_USHORT>(field.size());
    std::memcpy(m.indexName->name.str, field.data(), field.size());
    m.hasAnalyzers = QueryOne(connection, m.fieldCount, m.indexName, m.countRow) && m.countRow->count > 0;
  }
  m.indexName->nameNull = FB_FALSE;
  m.indexName->name.length = static_cast<ISC_USHORT>(name.size());
  std::memcpy(m.indexName->name.str, name.data(), name.size());
  PreparedStatement& select = *m.hasAnalyzers ? m.selectIndex : m.selectIndexWithoutAnalyzer;
  if (!QueryOne(connection, select, m.indexName, m.indexIdRow) || m.indexIdRow->idNull) return std::nullopt;
  IndexRecord record;
  record.id = m.indexIdRow->id;
  if (!m.indexIdRow->analyzerNull) record.analyzer.assign(m.indexIdRow->analyzer.str, m.indexIdRow->analyzer.length);
  return record;
}

std::string IndexTables::DatabaseCharset(const Connection& connection, std::int16_t index) {
  Messages& m = *messages_;
  m.structureKey->indexNull = FB_FALSE;
  m.structureKey->index = index;
  if (!QueryOne(connection, m.selectCharset, m.structureKey, m.charsetRow) || m.charsetRow->nameNull) return "NONE";
  std::string name(m.charsetRow->name.str, m.charsetRow->name.length);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

bool IndexTables::HasIndexSources(const Connection& connection) {
  Messages& m = *messages_;
  const std::string table = "FT_INDEX_COLUMNS";
  m.indexName->nameNull = FB_FALSE;
  m.indexName->name.length = static_cast<ISC_USHORT>(table.size());
  std::memcpy(m.indexName->name.str, table.data(), table.size());
  return QueryOne(connection, m.relationCount, m.indexName, m.countRow) && m.countRow->count > 0;
}

index::IndexColumns IndexTables::Columns(const Connection& connection, std::int16_t index) {
  Messages& m = *messages_;
  index::IndexColumns columns;
  if (!HasIndexSources(connection)) return columns;
  m.structureKey->indexNull = FB_FALSE;
  m.structureKey->index = index;
  Query(connection, m.selectColumns, m.structureKey, m.columnRow, [&] {
    columns.push_back({std::string(m.columnRow->name.str, m.columnRow->name.length), m.columnRow->weight});
  });
  return columns;
}

std::optional<TableSource> IndexTables::Source(const Connection& connection, std::int16_t index) {
  Messages& m = *messages_;
  if (!HasIndexSources(connection)) return std::nullopt;
  m.structureKey->indexNull = FB_FALSE;
  m.structureKey->index = index;
  if (!QueryOne(connection, m.selectSource, m.structureKey, m.sourceRow)) return std::nullopt;
  return TableSource{std::string(m.sourceRow->table.str, m.sourceRow->table.length),
                     std::string(m.sourceRow->key.str, m.sourceRow->key.length)};
}

index::Version IndexTables::AddChange(const Connection& connection, std::int16_t index, const index::ChangeRow& change) {
  Messages& m = *messages_;
  auto& row = *m.changeWrite.getData();
  row.indexNull = row.documentNull = row.removedNull = row.crcNull = row.lengthNull = row.replacedNull =
      row.replacedLengthNull = FB_FALSE;
  row.index = index;
  row.document = change.document;
  row.removed = change.removed ? 1 : 0;
  row.crc = change.crc;
  row.length = static_cast<ISC_LONG>(change.length);
  row.replaced = change.replaced ? 1 : 0;
  row.replacedLength = static_cast<ISC_LONG>(change.replacedLength);
  PutLong(connection, change.postings, row.postings, row.postingsNull, row.longPostings, row.longPostingsNull);
  m.insertChange.Get(connection.status, connection.attachment, connection.transaction)
      ->execute(connection.status, connection.transaction, m.changeWrite.getMetadata(), m.changeWrite.getData(),
                m.versionRow.getMetadata(), m.versionRow.getData());
  return m.versionRow->version;
}

void IndexTables::ReadChanges(const Connection& connection, std::int16_t index, index::TransactionId fromWriter,
                              bool withPostings, const std::function<void(index::ChangeRow&&)>& row) {
  Messages& m = *messages_;
  m.changeFilter->indexNull = m.changeFilter->writerNull = FB_FALSE;
  m.changeFilter->index = index;
  m.changeFilter->writer = static_cast<ISC_INT64>(fromWriter);
  Query(connection, withPostings ? m.selectChanges : m.selectChangesWithoutPostings, m.changeFilter, m.changeRow,
        [&] { row(FetchedChange(connection, withPostings)); });
}

void IndexTables::ReadOwnChanges(const Connection& connection, std::int16_t index, bool withPostings,
                                 const std::function<void(index::ChangeRow&&)>& row) {
  Messages& m = *messages_;
  m.structureKey->indexNull = FB_FALSE;
  m.structureKey->index = index;
  Query(connection, withPostings ? m.selectOwnChanges : m.selectOwnChangesWithoutPostings, m.structureKey, m.changeRow,
        [&] { row(FetchedChange(connection, withPostings)); });
}

void IndexTables::ReadDocumentChanges(const Connection& connection, std::int16_t index, index::DocumentId document,
                                      const std::function<void(index::ChangeRow&&)>& row) {
  Messages& m = *messages_;
  m.documentKey->indexNull = m.documentKey->documentNull = FB_FALSE;
  m.documentKey->index = index;
  m.documentKey->document = document;
  Query(connection, m.selectDocumentChanges, m.documentKey, m.changeRow, [&] { row(FetchedChange(connection, false)); });
}

index::ChangeRow IndexTables::FetchedChange(const Connection& connection, bool withPostings) {
  const auto& fetched = *messages_->changeRow.getData();
  index::ChangeRow change;
  change.writer = static_cast<index::TransactionId>(fetched.writer);
  change.document = fetched.document;
  change.version = fetched.version;
  change.removed = fetched.removed != 0;
  change.crc = fetched.crc;
  change.length = static_cast<std::uint32_t>(fetched.length);
  change.replaced = fetched.replaced != 0;
  change.replacedLength = static_cast<std::uint32_t>(fetched.replacedLength);
  if (withPostings) {
    change.postings = GetLong(connection, fetched.postings, fetched.postingsNull, fetched.longPostings, fetched.longPostingsNull);
  }
  return change;
}

void IndexTables::DeleteChanges(const Connection& connection, std::int16_t index, index::TransactionId belowWriter,
                                const std::vector<index::TransactionId>& writers) {
  Messages& m = *messages_;
  m.changeFilter->indexNull = m.changeFilter->writerNull = FB_FALSE;
  m.changeFilter->index = index;
  m.changeFilter->writer = static_cast<ISC_INT64>(belowWriter);
  Execute(connection, m.deleteChangesBelow, m.changeFilter.getMetadata(), m.changeFilter.getData());
  for (const index::TransactionId writer : writers) {
    m.changeFilter->writer = static_cast<ISC_INT64>(writer);
    Execute(connection, m.deleteChangesOf, m.changeFilter.getMetadata(), m.changeFilter.getData());
  }
}

std::optional<std::string> IndexTables::ReadStructure(const Connection& connection, std::int16_t index, bool lock) {
  Messages& m = *messages_;
  m.structureKey->indexNull = FB_FALSE;
  m.structureKey->index = index;
  if (!QueryOne(connection, lock ? m.lockStructure : m.selectStructure, m.structureKey, m.structureRow)) return std::nullopt;
  const auto& row = *m.structureRow.getData();
  // A new index's row holds no structure yet: it has no segment.
  if (row.structureNull && row.longStructureNull) return index::Structure().Encode();
  return GetLong(connection, row.structure, row.structureNull, row.longStructure, row.longStructureNull);
}

void IndexTables::WriteStructure(const Connection& connection, std::int16_t index, const std::string& structure) {
  Messages& m = *messages_;
  auto& row = *m.structureWrite.getData();
  row.indexNull = FB_FALSE;
  row.index = index;
  PutLong(connection, structure, row.structure, row.structureNull, row.longStructure, row.longStructureNull);
  Execute(connection, m.updateStructure, m.structureWrite.getMetadata(), m.structureWrite.getData());
}

void IndexTables::ReadPages(const Connection& connection, index::SegmentId segment, std::uint32_t first,
                            std::uint32_t count, const std::function<void(std::uint32_t, std::optional<index::PageBytes>&&)>& page) {
  Messages& m = *messages_;
  std::uint32_t next = first;
  const auto deliver = [&] {
    const auto& row = *m.pageRow.getData();
    const auto number = static_cast<std::uint32_t>(row.page);
    for (; next < number && next < first + count; ++next) page(next, std::nullopt);
    if (number == next) {
      page(next++, row.bytesNull ? index::PageBytes() : index::PageBytes(row.bytes.str, row.bytes.length));
    }
  };
  if (count == 1) {
    m.pageKey->segmentNull = m.pageKey->pageNull = FB_FALSE;
    m.pageKey->segment = segment;
    m.pageKey->page = static_cast<ISC_LONG>(first);
    Query(connection, m.selectPage, m.pageKey, m.pageRow, deliver);
  } else {
    m.pageRange->segmentNull = m.pageRange->firstNull = m.pageRange->lastNull = FB_FALSE;
    m.pageRange->segment = segment;
    m.pageRange->first = static_cast<ISC_LONG>(first);
    m.pageRange->last = static_cast<ISC_LONG>(first + count - 1);
    Query(connection, m.selectPages, m.pageRange, m.pageRow, deliver);
  }
  for (; next < first + count; ++next) page(next, std::nullopt);
}

void IndexTables::WritePage(const Connection& connection, index::SegmentId segment, std::uint32_t page,
                            const index::PageBytes& bytes) {
  Messages& m = *messages_;
  if (bytes.size() > kPageBytes) throw RoutineError("a segment page of " + std::to_string(bytes.size()) + " bytes");
  auto& row = *m.pageWrite.getData();
  row.segmentNull = row.pageNull = row.bytesNull = FB_FALSE;
  row.segment = segment;
  row.page = static_cast<ISC_LONG>(page);
  row.bytes.length = static_cast<ISC_USHORT>(bytes.size());
  std::memcpy(row.bytes.str, bytes.data(), bytes.size());
  Execute(connection, m.insertPage, m.pageWrite.getMetadata(), m.pageWrite.getData());
}

void IndexTables::DeleteSegment(const Connection& connection, index::SegmentId segment) {
  Messages& m = *messages_;
  m.segmentKey->segmentNull = FB_FALSE;
  m.segmentKey->segment = segment;
  Execute(connection, m.deleteSegment, m.segmentKey.getMetadata(), m.segmentKey.getData());
}

void IndexTables::VisitPages(const Connection& connection, index::SegmentId segment) {
  Messages& m = *messages_;
  m.segmentKey->segmentNull = FB_FALSE;
  m.segmentKey->segment = segment;
  QueryOne(connection, m.visitPages, m.segmentKey, m.versionRow);
}

void IndexTables::VisitChanges(const Connection& connection, std::int16_t index, index::TransactionId belowWriter) {
  Messages& m = *messages_;
  m.changeFilter->indexNull = m.changeFilter->writerNull = FB_FALSE;
  m.changeFilter->index = index;
  m.changeFilter->writer = static_cast<ISC_INT64>(belowWriter);
  QueryOne(connection, m.visitChanges, m.changeFilter, m.versionRow);
}

index::SegmentId IndexTables::NewSegmentId(const Connection& connection) {
  Messages& m = *messages_;
  m.nextSegment.Get(connection.status, connection.attachment, connection.transaction)
      ->execute(connection.status, connection.transaction, nullptr, nullptr, m.versionRow.getMetadata(),
                m.versionRow.getData());
  return m.versionRow->version;
}

}  // namespace vexa::udr

#include "frame/udr/table_rows.h"

#include <string>
#include <vector>

#include "frame/udr/blob_text.h"
#include "frame/udr/message_layout.h"

namespace vexa::udr {

std::string QuotedName(const std::string& name) {
  std::string quoted = "\"";
  for (const char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

namespace {

// The texts come in the database's character set, or in UTF-8 (the engine
// transliterating from the column's) for an analyzer that reads UTF-8.
std::string RowsQuery(const IndexIdentity& identity, const TableRange& range) {
  const std::string textType = identity.analyzer.readsUtf8 ? "BLOB SUB_TYPE TEXT CHARACTER SET UTF8" : "BLOB SUB_TYPE TEXT";
  const std::string key = QuotedName(identity.source->keyColumn);
  std::string sql = "SELECT ";
  if (range.limit > 0) sql += "FIRST " + std::to_string(range.limit) + " ";
  sql += "CAST(" + key + " AS BIGINT)";
  for (const index::IndexColumn& column : identity.columns) {
    sql += ", CAST(" + QuotedName(column.name) + " AS " + textType + ")";
  }
  sql += " FROM " + QuotedName(identity.source->table);
  if (range.afterKey) sql += " WHERE " + key + " > " + std::to_string(*range.afterKey);
  if (range.afterKey || range.limit > 0) sql += " ORDER BY " + key;
  return sql;
}

}  // namespace

void ReadTableRows(IndexSession::Call& call, Status* status, Firebird::IExternalContext* context,
                   const TableRange& range,
                   const std::function<void(index::DocumentId key, const index::AnalyzedDocument& analyzed)>& row) {
  const IndexIdentity& identity = call.Identity();
  const std::string sql = RowsQuery(identity, range);
  const Connection where = call.Where(status, context->getMaster());
  Released<Firebird::IStatement> statement(where.attachment->prepare(
      status, where.transaction, 0, sql.c_str(), SQL_DIALECT_V6, Firebird::IStatement::PREPARE_PREFETCH_METADATA));
  Released<Firebird::IMessageMetadata> metadata(statement->getOutputMetadata(status));
  const MessageLayout layout(status, statement->getOutputMetadata(status),
                             1 + static_cast<unsigned>(identity.columns.size()), kScript);
  const IntegerField key = layout.Integer(0, SQL_INT64);
  std::vector<BlobField> texts;
  for (unsigned field = 1; field < layout.Count(); ++field) texts.push_back(layout.Blob(field));
  std::vector<unsigned char> buffer(metadata->getMessageLength(status));
  Firebird::IResultSet* cursor = statement->openCursor(status, where.transaction, nullptr, nullptr, metadata.Get(), 0);
  try {
    while (cursor->fetchNext(status, buffer.data()) == Firebird::IStatus::RESULT_OK) {
      std::vector<std::optional<std::string>> values;
      for (const BlobField& text : texts) {
        if (IsNull(buffer.data(), text.nullOffset)) {
          values.emplace_back();
        } else {
          ISC_QUAD id;
          std::memcpy(&id, buffer.data() + text.offset, sizeof id);
          values.emplace_back(call.Text(ReadBlob(status, where.attachment, where.transaction, id), text.charset));
        }
      }
      index::ColumnTexts views;
      for (const std::optional<std::string>& value : values) {
        views.push_back(value ? std::optional<std::string_view>(*value) : std::nullopt);
      }
      row(ReadInteger<std::int64_t>(buffer.data(), key), call.Index().Analyze(views));
    }
    cursor->close(status);
  } catch (...) {
    cursor->release();
    throw;
  }
}

std::vector<index::DocumentId> ReadTableKeys(IndexSession::Call& call, Status* status,
                                             Firebird::IExternalContext* context) {
  const IndexIdentity& identity = call.Identity();
  const std::string key = QuotedName(identity.source->keyColumn);
  const std::string sql = "SELECT CAST(" + key + " AS BIGINT) FROM " + QuotedName(identity.source->table) +
                          " ORDER BY " + key;
  const Connection where = call.Where(status, context->getMaster());
  Released<Firebird::IStatement> statement(where.attachment->prepare(
      status, where.transaction, 0, sql.c_str(), SQL_DIALECT_V6, Firebird::IStatement::PREPARE_PREFETCH_METADATA));
  Released<Firebird::IMessageMetadata> metadata(statement->getOutputMetadata(status));
  const IntegerField field = MessageLayout(status, statement->getOutputMetadata(status), 1, kScript).Integer(0, SQL_INT64);
  std::vector<unsigned char> buffer(metadata->getMessageLength(status));
  std::vector<index::DocumentId> keys;
  Firebird::IResultSet* cursor = statement->openCursor(status, where.transaction, nullptr, nullptr, metadata.Get(), 0);
  try {
    while (cursor->fetchNext(status, buffer.data()) == Firebird::IStatus::RESULT_OK) {
      keys.push_back(ReadInteger<std::int64_t>(buffer.data(), field));
    }
    cursor->close(status);
  } catch (...) {
    cursor->release();
    throw;
  }
  return keys;
}

}  // namespace vexa::udr

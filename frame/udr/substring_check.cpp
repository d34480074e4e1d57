#include "frame/udr/substring_check.h"

#include <algorithm>
#include <cstring>

#include "frame/udr/blob_text.h"
#include "frame/udr/output_text.h"
#include "frame/udr/table_rows.h"

namespace vexa::udr {
namespace {

// Keys checked by one execution of the statement (the last batch repeats
// its last key).
constexpr std::size_t kKeysPerStatement = 64;
constexpr unsigned kCharsetUtf8 = 4;

std::string PredicateSql(index::SubstringTest test, bool withEscape) {
  switch (test) {
    case index::SubstringTest::kContaining: return " CONTAINING P.SEARCHED";
    case index::SubstringTest::kStartingWith: return " STARTING WITH P.SEARCHED";
    case index::SubstringTest::kLike: break;
  }
  return withEscape ? " LIKE P.SEARCHED ESCAPE P.ESCAPED_BY" : " LIKE P.SEARCHED";
}

std::string CheckSql(const IndexIdentity& identity, index::SubstringTest test, bool withEscape,
                     const std::string& column) {
  const std::string key = "T." + QuotedName(identity.source->keyColumn);
  std::string sql = "SELECT CAST(" + key + " AS BIGINT) FROM " + QuotedName(identity.source->table) +
                    " T, (SELECT CAST(? AS BLOB SUB_TYPE TEXT CHARACTER SET UTF8) AS SEARCHED";
  if (withEscape) sql += ", CAST(? AS VARCHAR(1) CHARACTER SET UTF8) AS ESCAPED_BY";
  sql += " FROM RDB$DATABASE) P WHERE " + key + " IN (";
  for (std::size_t k = 0; k < kKeysPerStatement; ++k) sql += k == 0 ? "CAST(? AS BIGINT)" : ", CAST(? AS BIGINT)";
  sql += ") AND (";
  bool first = true;
  for (const index::IndexColumn& indexColumn : identity.columns) {
    if (!column.empty() && indexColumn.name != column) continue;
    sql += (first ? "T." : " OR T.") + QuotedName(indexColumn.name) + PredicateSql(test, withEscape);
    first = false;
  }
  return sql + ")";
}

// The name of the index's column `column` as the index holds it (the
// engine found it already, in either case).
std::string StoredColumn(const IndexIdentity& identity, const std::string& column) {
  if (column.empty()) return column;
  const int number = index::FindColumn(identity.columns, column);
  return number < 0 ? column : identity.columns[static_cast<std::size_t>(number)].name;
}

}  // namespace

std::vector<index::DocumentId> CheckInTable(IndexSession::Call& call, Status* status,
                                            Firebird::IExternalContext* context, index::SubstringTest test,
                                            const std::string& pattern, const std::optional<std::string>& escape,
                                            const std::string& column,
                                            const std::vector<index::DocumentId>& candidates) {
  std::vector<index::DocumentId> found;
  if (candidates.empty()) return found;
  const IndexIdentity& identity = call.Identity();
  const bool withEscape = test == index::SubstringTest::kLike && escape.has_value();
  const std::string sql = CheckSql(identity, test, withEscape, StoredColumn(identity, column));
  const Connection where = call.Where(status, context->getMaster());
  Released<Firebird::IStatement> statement(where.attachment->prepare(
      status, where.transaction, 0, sql.c_str(), SQL_DIALECT_V6, Firebird::IStatement::PREPARE_PREFETCH_METADATA));
  Released<Firebird::IMessageMetadata> input(statement->getInputMetadata(status));
  Released<Firebird::IMessageMetadata> output(statement->getOutputMetadata(status));
  std::vector<unsigned char> in(input->getMessageLength(status));
  std::vector<unsigned char> out(output->getMessageLength(status));
  for (unsigned field = 0; field < input->getCount(status); ++field) SetNotNull(in.data(), input->getNullOffset(status, field));
  const ISC_QUAD blob = WriteBlob(status, where.attachment, where.transaction, pattern, BlobCharsets{kCharsetUtf8, kCharsetUtf8});
  std::memcpy(in.data() + input->getOffset(status, 0), &blob, sizeof blob);
  unsigned firstKey = 1;
  if (withEscape) {
    if (escape->size() > input->getLength(status, 1)) throw RoutineError("the ESCAPE character must be one character");
    PutVarchar(in.data(), input->getOffset(status, 1), escape->data(), escape->size());
    firstKey = 2;
  }
  const unsigned resultOffset = output->getOffset(status, 0);
  for (std::size_t at = 0; at < candidates.size(); at += kKeysPerStatement) {
    for (std::size_t k = 0; k < kKeysPerStatement; ++k) {
      const index::DocumentId key = candidates[std::min(at + k, candidates.size() - 1)];
      std::memcpy(in.data() + input->getOffset(status, firstKey + static_cast<unsigned>(k)), &key, sizeof key);
    }
    Firebird::IResultSet* cursor = statement->openCursor(status, where.transaction, input.Get(), in.data(), output.Get(), 0);
    try {
      while (cursor->fetchNext(status, out.data()) == Firebird::IStatus::RESULT_OK) {
        index::DocumentId key = 0;
        std::memcpy(&key, out.data() + resultOffset, sizeof key);
        found.push_back(key);
      }
      cursor->close(status);
    } catch (...) {
      cursor->release();
      throw;
    }
  }
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  return found;
}

}  // namespace vexa::udr

// The procedure the trigger of an index over a table's columns calls, in
// the caller's transaction (sql/fulltext_indexes.sql):
//
//   FT_INDEX_ROW(INDEX_NAME VARCHAR(63), DOC_ID BIGINT, FORCE SMALLINT,
//                TXT1 .. TXT8 BLOB SUB_TYPE TEXT = NULL) RETURNS (CHANGED SMALLINT)
//
// TXTn is the text of the index's column n - 1. With FORCE 1 the row is
// indexed again even when its words did not change.
//
//   FT_INDEX_ROWS(INDEX_NAME VARCHAR(63), AFTER_KEY BIGINT, BATCH_SIZE INTEGER)
//     RETURNS (LAST_KEY BIGINT, ROWS_DONE INTEGER)
//
// Indexes again, whatever the index held of them, up to BATCH_SIZE rows of
// the index's table by ascending key, after AFTER_KEY (from the first when
// NULL): the last key done (NULL when none) and how many.
//
//   FT_DROP_MISSING_ROWS(INDEX_NAME VARCHAR(63)) RETURNS (ROWS_DROPPED INTEGER)
//
// Drops from the index every document whose row the table no longer holds.
#include <algorithm>
#include <string>
#include <vector>

#include "frame/udr/index_name_argument.h"
#include "frame/udr/index_session.h"
#include "frame/udr/message_layout.h"
#include "frame/udr/routine_error.h"
#include "frame/udr/table_rows.h"
#include "frame/udr/text_argument.h"
#include "index/document_postings.h"

namespace vexa::udr {
namespace {

constexpr unsigned kLeadingFields = 3;
constexpr unsigned kMostTexts = 8;

class IndexRowProcedure : public Firebird::Udr::Procedure<IndexRowProcedure, Status> {
 public:
  static constexpr const char* kName = "FT_INDEX_ROW";

  void getCharSet(Status*, Firebird::IExternalContext*, char* name, unsigned nameSize) override {
    WorkInStoredCharacterSet(name, nameSize);
  }

  IndexRowProcedure(Status* status, Firebird::IExternalContext*, Firebird::IRoutineMetadata* metadata) {
    declarationProblem_ = DeclarationProblem([&] {
      const MessageLayout in(status, metadata->getInputMetadata(status), kLeadingFields + 1,
                             kLeadingFields + kMostTexts, "sql/fulltext_indexes.sql");
      indexName_ = IndexNameArgument(in, 0);
      document_ = in.Integer(1, SQL_INT64);
      force_ = in.Integer(2, SQL_SHORT);
      for (unsigned field = kLeadingFields; field < in.Count(); ++field) texts_.emplace_back(in, field);
      changed_ = MessageLayout(status, metadata->getOutputMetadata(status), 1, "sql/fulltext_indexes.sql")
                     .Integer(0, SQL_SHORT);
    });
  }

  Firebird::IExternalResultSet* open(Status* status, Firebird::IExternalContext* context, void* inMessage,
                                     void* outMessage) override {
    return Guarded(status, kName, [&]() -> Firebird::IExternalResultSet* {
      RefuseBadDeclaration(declarationProblem_);
      const auto* in = static_cast<const unsigned char*>(inMessage);
      if (IsNull(in, document_.nullOffset)) throw RoutineError("DOC_ID is NULL");
      const bool force = !IsNull(in, force_.nullOffset) && ReadInteger<std::int16_t>(in, force_) != 0;
      IndexSession::Call call(session_, status, context, indexName_.Read(in));
      const index::IndexColumns& columns = call.Index().Columns();
      if (columns.empty()) {
        throw RoutineError("the full-text index " + call.Name() + " is not over a table's columns (index with FT_INDEX)");
      }
      if (columns.size() > texts_.size()) {
        throw RoutineError("the full-text index " + call.Name() + " has " + std::to_string(columns.size()) +
                           " columns, more than FT_INDEX_ROW is declared with texts for");
      }
      std::vector<std::optional<std::string>> texts;
      for (std::size_t column = 0; column < columns.size(); ++column) {
        std::optional<std::string> text = texts_[column].Read(status, context, in);
        if (text) text = call.Text(std::move(*text), texts_[column].Charset());
        texts.push_back(std::move(text));
      }
      index::ColumnTexts views;
      for (const std::optional<std::string>& text : texts) {
        views.push_back(text ? std::optional<std::string_view>(*text) : std::nullopt);
      }
      const auto document = ReadInteger<std::int64_t>(in, document_);
      const bool changed = OnIndex(call.Name(), [&] {
        if (!force) return call.Index().Index(document, views);
        const index::AnalyzedDocument analyzed = call.Index().Analyze(views);
        call.Index().Import(document, analyzed.crc, analyzed.postings);
        return true;
      });
      auto* out = static_cast<unsigned char*>(outMessage);
      SetNotNull(out, changed_.nullOffset);
      PutInteger(out, changed_, static_cast<std::int16_t>(changed ? 1 : 0));
      return nullptr;
    });
  }

 private:
  std::string declarationProblem_;
  IndexNameArgument indexName_;
  IntegerField document_;
  IntegerField force_;
  std::vector<TextArgument> texts_;
  IntegerField changed_;
  IndexSession session_;
};

class IndexRowsProcedure : public Firebird::Udr::Procedure<IndexRowsProcedure, Status> {
 public:
  static constexpr const char* kName = "FT_INDEX_ROWS";

  void getCharSet(Status*, Firebird::IExternalContext*, char* name, unsigned nameSize) override {
    WorkInStoredCharacterSet(name, nameSize);
  }

  IndexRowsProcedure(Status* status, Firebird::IExternalContext*, Firebird::IRoutineMetadata* metadata) {
    declarationProblem_ = DeclarationProblem([&] {
      const MessageLayout in(status, metadata->getInputMetadata(status), 3, "sql/fulltext_indexes.sql");
      indexName_ = IndexNameArgument(in, 0);
      afterKey_ = in.Integer(1, SQL_INT64);
      batchSize_ = in.Integer(2, SQL_LONG);
      const MessageLayout out(status, metadata->getOutputMetadata(status), 2, "sql/fulltext_indexes.sql");
      lastKey_ = out.Integer(0, SQL_INT64);
      rowsDone_ = out.Integer(1, SQL_LONG);
    });
  }

  Firebird::IExternalResultSet* open(Status* status, Firebird::IExternalContext* context, void* inMessage,
                                     void* outMessage) override {
    return Guarded(status, kName, [&]() -> Firebird::IExternalResultSet* {
      RefuseBadDeclaration(declarationProblem_);
      const auto* in = static_cast<const unsigned char*>(inMessage);
      TableRange range;
      if (!IsNull(in, afterKey_.nullOffset)) range.afterKey = ReadInteger<std::int64_t>(in, afterKey_);
      const std::int32_t batch = IsNull(in, batchSize_.nullOffset) ? 0 : ReadInteger<std::int32_t>(in, batchSize_);
      if (batch < 1) throw RoutineError("BATCH_SIZE must be 1 or more");
      range.limit = static_cast<std::size_t>(batch);
      IndexSession::Call call(session_, status, context, indexName_.Read(in));
      if (!call.Identity().source) {
        throw RoutineError("the full-text index " + call.Name() + " is not over a table's columns");
      }
      std::optional<std::int64_t> lastKey;
      std::int32_t done = 0;
      OnIndex(call.Name(), [&] {
        ReadTableRows(call, status, context, range, [&](index::DocumentId key, const index::AnalyzedDocument& analyzed) {
          call.Index().Import(key, analyzed.crc, analyzed.postings);
          lastKey = key;
          ++done;
        });
        return true;
      });
      auto* out = static_cast<unsigned char*>(outMessage);
      if (lastKey) {
        SetNotNull(out, lastKey_.nullOffset);
        PutInteger(out, lastKey_, *lastKey);
      } else {
        SetNull(out, lastKey_.nullOffset);
      }
      SetNotNull(out, rowsDone_.nullOffset);
      PutInteger(out, rowsDone_, done);
      return nullptr;
    });
  }

 private:
  std::string declarationProblem_;
  IndexNameArgument indexName_;
  IntegerField afterKey_;
  IntegerField batchSize_;
  IntegerField lastKey_;
  IntegerField rowsDone_;
  IndexSession session_;
};

class DropMissingRowsProcedure : public Firebird::Udr::Procedure<DropMissingRowsProcedure, Status> {
 public:
  static constexpr const char* kName = "FT_DROP_MISSING_ROWS";

  void getCharSet(Status*, Firebird::IExternalContext*, char* name, unsigned nameSize) override {
    WorkInStoredCharacterSet(name, nameSize);
  }

  DropMissingRowsProcedure(Status* status, Firebird::IExternalContext*, Firebird::IRoutineMetadata* metadata) {
    declarationProblem_ = DeclarationProblem([&] {
      indexName_ = IndexNameArgument(MessageLayout(status, metadata->getInputMetadata(status), 1, "sql/fulltext_indexes.sql"), 0);
      dropped_ = MessageLayout(status, metadata->getOutputMetadata(status), 1, "sql/fulltext_indexes.sql").Integer(0, SQL_LONG);
    });
  }

  Firebird::IExternalResultSet* open(Status* status, Firebird::IExternalContext* context, void* inMessage,
                                     void* outMessage) override {
    return Guarded(status, kName, [&]() -> Firebird::IExternalResultSet* {
      RefuseBadDeclaration(declarationProblem_);
      IndexSession::Call call(session_, status, context, indexName_.Read(static_cast<const unsigned char*>(inMessage)));
      if (!call.Identity().source) {
        throw RoutineError("the full-text index " + call.Name() + " is not over a table's columns");
      }
      const std::vector<index::DocumentId> keys = ReadTableKeys(call, status, context);
      std::int32_t dropped = 0;
      OnIndex(call.Name(), [&] {
        for (const index::DocumentInfo& document : call.Index().Documents()) {
          const index::DocumentId id = document.Id();
          if (std::binary_search(keys.begin(), keys.end(), id) || !call.Index().Remove(id)) continue;
          ++dropped;
        }
        return true;
      });
      auto* out = static_cast<unsigned char*>(outMessage);
      SetNotNull(out, dropped_.nullOffset);
      PutInteger(out, dropped_, dropped);
      return nullptr;
    });
  }

 private:
  std::string declarationProblem_;
  IndexNameArgument indexName_;
  IntegerField dropped_;
  IndexSession session_;
};

Firebird::Udr::ProcedureFactoryImpl<IndexRowProcedure, Status> indexRowFactory("ft_index_row");
Firebird::Udr::ProcedureFactoryImpl<DropMissingRowsProcedure, Status> dropMissingFactory("ft_drop_missing_rows");
Firebird::Udr::ProcedureFactoryImpl<IndexRowsProcedure, Status> indexRowsFactory("ft_index_rows");

}  // namespace
}  // namespace vexa::udr

// What an index holds and whether it is sound, in the caller's transaction:
//
//   FT_INDEX_INFO(INDEX_NAME)
//     RETURNS (DOCUMENTS BIGINT, WORDS BIGINT, DISTINCT_WORDS BIGINT, SEGMENTS INTEGER,
//              SEGMENTS_PER_LEVEL VARCHAR(200), PENDING_ROWS INTEGER, INDEX_BYTES BIGINT,
//              LAST_MERGE_TRANSACTION BIGINT)
//   FT_INDEX_SEGMENTS(INDEX_NAME)
//     RETURNS (SEGMENT_ID BIGINT, SEGMENT_LEVEL INTEGER, DOCUMENTS BIGINT, DELETED_DOCUMENTS BIGINT,
//              PAGES INTEGER, BYTES BIGINT, DELETION_LIST_ID BIGINT)
//   FT_CHECK(INDEX_NAME) RETURNS (DOC_ID BIGINT, PROBLEM VARCHAR(1000))
//
// FT_CHECK verifies the index against itself and, for an index over a
// table, against the table's rows (index/integrity_check.h): a row per
// problem, none for a sound index.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "frame/udr/index_name_argument.h"
#include "frame/udr/index_session.h"
#include "frame/udr/message_layout.h"
#include "frame/udr/table_rows.h"
#include "frame/udr/routine_error.h"

namespace vexa::udr {
namespace {

constexpr std::size_t kMostProblems = 1000;

// A result set of rows made up front, each written into the output message
// by a function of its own.
class WrittenRows : public Firebird::IExternalResultSetImpl<WrittenRows, Status> {
 public:
  explicit WrittenRows(std::vector<std::function<void()>> rows) : rows_(std::move(rows)) {}
  void dispose() override { delete this; }
  FB_BOOLEAN fetch(Status*) override {
    if (next_ == rows_.size()) return FB_FALSE;
    rows_[next_++]();
    return FB_TRUE;
  }

 private:
  std::vector<std::function<void()>> rows_;
  std::size_t next_ = 0;
};

void PutText(unsigned char* out, const TextField& field, const std::string& text) {
  SetNotNull(out, field.nullOffset);
  PutVarchar(out, field.offset, text.data(), FittingLength(text, field.capacity, field.encoding));
}

template <typename Integer>
void PutNumber(unsigned char* out, const IntegerField& field, Integer value) {
  SetNotNull(out, field.nullOffset);
  PutInteger(out, field, value);
}

// The common part of the three: an INDEX_NAME argument and an index opened on it.
template <typename Derived>
class HealthProcedure : public Firebird::Udr::Procedure<Derived, Status> {
 public:
  void getCharSet(Status*, Firebird::IExternalContext*, char* name, unsigned nameSize) override {
    WorkInStoredCharacterSet(name, nameSize);
  }

  // Called by the derived class's constructor, once its fields are made.
  void ReadDeclaration(Status* status, Firebird::IRoutineMetadata* metadata, unsigned outputFields) {
    declarationProblem_ = DeclarationProblem([&] {
      indexName_ = IndexNameArgument(MessageLayout(status, metadata->getInputMetadata(status), 1, kScript), 0);
      const MessageLayout out(status, metadata->getOutputMetadata(status), outputFields, kScript);
      static_cast<Derived*>(this)->ReadLayout(out);
    });
  }

  Firebird::IExternalResultSet* open(Status* status, Firebird::IExternalContext* context, void* inMessage,
                                     void* outMessage) override {
    return Guarded(status, Derived::kName, [&]() -> Firebird::IExternalResultSet* {
      RefuseBadDeclaration(declarationProblem_);
      const std::string name = indexName_.Read(static_cast<const unsigned char*>(inMessage));
      IndexSession::Call call(session_, status, context, name);
      auto* out = static_cast<unsigned char*>(outMessage);
      std::vector<std::function<void()>> rows =
          OnIndex(call.Name(), [&] { return static_cast<Derived*>(this)->Rows(call, status, context, out); });
      return new WrittenRows(std::move(rows));
    });
  }

 private:
  std::string declarationProblem_;
  IndexNameArgument indexName_;
  IndexSession session_;
};

class InfoProcedure : public HealthProcedure<InfoProcedure> {
 public:
  static constexpr const char* kName = "FT_INDEX_INFO";

  InfoProcedure(Status* status, Firebird::IExternalContext*, Firebird::IRoutineMetadata* metadata) {
    ReadDeclaration(status, metadata, 8);
  }

  void ReadLayout(const MessageLayout& out) {
    documents_ = out.Integer(0, SQL_INT64);
    words_ = out.Integer(1, SQL_INT64);
    distinctWords_ = out.Integer(2, SQL_INT64);
    segments_ = out.Integer(3, SQL_LONG);
    levels_ = out.Varchar(4);
    pendingRows_ = out.Integer(5, SQL_LONG);
    bytes_ = out.Integer(6, SQL_INT64);
    lastMerge_ = out.Integer(7, SQL_INT64);
  }

  std::vector<std::function<void()>> Rows(IndexSession::Call& call, Status*, Firebird::IExternalContext*,
                                          unsigned char* out) {
    const index::IndexInfo info = call.Index().Info();
    std::map<std::uint32_t, int> perLevel;
    for (const index::SegmentEntry& segment : info.segments) ++perLevel[segment.level];
    std::string levels;
    for (const auto& [level, count] : perLevel) {
      levels += (levels.empty() ? "" : ", ") + std::to_string(count) + " at level " + std::to_string(level);
    }
    return {[this, info, levels, out] {
      PutNumber(out, documents_, static_cast<std::int64_t>(info.documents));
      PutNumber(out, words_, static_cast<std::int64_t>(info.totalLength));
      PutNumber(out, distinctWords_, static_cast<std::int64_t>(info.distinctWords));
      PutNumber(out, segments_, static_cast<std::int32_t>(info.segments.size()));
      PutText(out, levels_, levels);
      PutNumber(out, pendingRows_, static_cast<std::int32_t>(info.pendingRows));
      PutNumber(out, bytes_, static_cast<std::int64_t>(info.segmentBytes));
      if (info.lastMaintenance == 0) {
        SetNull(out, lastMerge_.nullOffset);
      } else {
        PutNumber(out, lastMerge_, static_cast<std::int64_t>(info.lastMaintenance));
      }
    }};
  }

 private:
  IntegerField documents_, words_, distinctWords_, segments_;
  TextField levels_;
  IntegerField pendingRows_, bytes_, lastMerge_;
};

class SegmentsProcedure : public HealthProcedure<SegmentsProcedure> {
 public:
  static constexpr const char* kName = "FT_INDEX_SEGMENTS";

  SegmentsProcedure(Status* status, Firebird::IExternalContext*, Firebird::IRoutineMetadata* metadata) {
    ReadDeclaration(status, metadata, 7);
  }

  void ReadLayout(const MessageLayout& out) {
    id_ = out.Integer(0, SQL_INT64);
    level_ = out.Integer(1, SQL_LONG);
    documents_ = out.Integer(2, SQL_INT64);
    deleted_ = out.Integer(3, SQL_INT64);
    pages_ = out.Integer(4, SQL_LONG);
    bytes_ = out.Integer(5, SQL_INT64);
    deletionList_ = out.Integer(6, SQL_INT64);
  }

  std::vector<std::function<void()>> Rows(IndexSession::Call& call, Status*, Firebird::IExternalContext*,
                                          unsigned char* out) {
    std::vector<std::function<void()>> rows;
    for (const index::SegmentEntry& segment : call.Index().Segments()) {
      rows.push_back([this, segment, out] {
        PutNumber(out, id_, static_cast<std::int64_t>(segment.id));
        PutNumber(out, level_, static_cast<std::int32_t>(segment.level));
        PutNumber(out, documents_, static_cast<std::int64_t>(segment.documents));
        PutNumber(out, deleted_, static_cast<std::int64_t>(segment.deletions.count));
        PutNumber(out, pages_, static_cast<std::int32_t>(segment.pages));
        PutNumber(out, bytes_, static_cast<std::int64_t>(segment.bytes));
        if (segment.deletions.id == 0) {
          SetNull(out, deletionList_.nullOffset);
        } else {
          PutNumber(out, deletionList_, static_cast<std::int64_t>(segment.deletions.id));
        }
      });
    }
    return rows;
  }

 private:
  IntegerField id_, level_, documents_, deleted_, pages_, bytes_, deletionList_;
};

class CheckProcedure : public HealthProcedure<CheckProcedure> {
 public:
  static constexpr const char* kName = "FT_CHECK";

  CheckProcedure(Status* status, Firebird::IExternalContext*, Firebird::IRoutineMetadata* metadata) {
    ReadDeclaration(status, metadata, 2);
  }

  void ReadLayout(const MessageLayout& out) {
    document_ = out.Integer(0, SQL_INT64);
    problem_ = out.Varchar(1);
  }

  std::vector<std::function<void()>> Rows(IndexSession::Call& call, Status* status, Firebird::IExternalContext* context,
                                          unsigned char* out) {
    index::TableDocuments table;
    if (call.Identity().source) {
      table = [&](const std::function<void(index::DocumentId, const index::AnalyzedDocument&)>& row) {
        ReadTableRows(call, status, context, TableRange(), [&](index::DocumentId key, const index::AnalyzedDocument& analyzed) {
          row(key, analyzed);
        });
      };
    }
    std::vector<std::function<void()>> rows;
    for (const index::IntegrityProblem& problem :
         call.Index().Check(table, kMostProblems)) {
      rows.push_back([this, problem, out] {
        if (problem.document) {
          PutNumber(out, document_, static_cast<std::int64_t>(*problem.document));
        } else {
          SetNull(out, document_.nullOffset);
        }
        PutText(out, problem_, problem.problem);
      });
    }
    return rows;
  }

 private:
  IntegerField document_;
  TextField problem_;
};

Firebird::Udr::ProcedureFactoryImpl<InfoProcedure, Status> infoFactory("ft_index_info");
Firebird::Udr::ProcedureFactoryImpl<SegmentsProcedure, Status> segmentsFactory("ft_index_segments");
Firebird::Udr::ProcedureFactoryImpl<CheckProcedure, Status> checkFactory("ft_check");

}  // namespace
}  // namespace vexa::udr

// The searches, each a selectable procedure that finds its documents when
// it is opened and hands them out a fetch at a time:
//
//   FT_SEARCH(QUERY BLOB SUB_TYPE TEXT, MAX_ROWS INTEGER = 20, INDEX_NAME)
//   FT_SEARCH_PHRASE(PHRASE BLOB SUB_TYPE TEXT, MAX_ROWS INTEGER = 20, INDEX_NAME)
//   FT_SEARCH_PREFIX(PREFIX BLOB SUB_TYPE TEXT, MAX_ROWS INTEGER = 20, INDEX_NAME)
//     RETURNS (DOC_ID BIGINT, SCORE DOUBLE PRECISION)
//   FT_SEARCH_SOUND(WORD BLOB SUB_TYPE TEXT, MAX_ROWS INTEGER = 20, INDEX_NAME)
//     RETURNS (DOC_ID BIGINT, SCORE DOUBLE PRECISION, MATCHED_WORD VARCHAR(31))
//   FT_DOCUMENTS(INDEX_NAME) RETURNS (DOC_ID BIGINT, CRC INTEGER, WORD_COUNT INTEGER)
//   FT_QUERY_PLAN(QUERY BLOB SUB_TYPE TEXT, INDEX_NAME)
//     RETURNS (GROUP_NO INTEGER, ITEM_NO INTEGER, KIND VARCHAR(6) CHARACTER SET ASCII,
//              NEGATED SMALLINT, TERM_NO INTEGER, WORD_OFFSET INTEGER, WORD VARCHAR(31),
//              COLUMN_NAME VARCHAR(63))
// (COLUMN_NAME, NULL for an item of any column, may be left out.)
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "frame/udr/index_name_argument.h"
#include "frame/udr/index_session.h"
#include "frame/udr/message_layout.h"
#include "frame/udr/module_analyzer.h"
#include "frame/udr/routine_error.h"
#include "frame/udr/text_argument.h"
#include "index/query_plan.h"

namespace vexa::udr {
namespace {

// MAX_ROWS when it is NULL or below 0.
constexpr std::int32_t kDefaultRows = 20;

enum class SearchKind { kQuery, kPhrase, kPrefix, kSound };

struct HitLayout {
  IntegerField document;
  DoubleField score;
  TextField matchedWord;
  bool hasMatchedWord = false;
};

class HitsResultSet : public Firebird::IExternalResultSetImpl<HitsResultSet, Status> {
 public:
  HitsResultSet(std::vector<index::Hit> hits, const HitLayout& layout, unsigned char* out)
      : hits_(std::move(hits)), layout_(layout), out_(out) {
    SetNotNull(out_, layout_.document.nullOffset);
    SetNotNull(out_, layout_.score.nullOffset);
    if (layout_.hasMatchedWord) SetNotNull(out_, layout_.matchedWord.nullOffset);
  }

  void dispose() override { delete this; }
  FB_BOOLEAN fetch(Status*) override {
    if (next_ == hits_.size()) return FB_FALSE;
    const index::Hit& hit = hits_[next_++];
    PutInteger(out_, layout_.document, static_cast<std::int64_t>(hit.id));
    std::memcpy(out_ + layout_.score.offset, &hit.score, sizeof hit.score);
    if (layout_.hasMatchedWord) PutWord(out_, layout_.matchedWord, hit.matchedWord);
    return FB_TRUE;
  }

 private:
  std::vector<index::Hit> hits_;
  std::size_t next_ = 0;
  const HitLayout layout_;
  unsigned char* const out_;
};

template <SearchKind kKind>
class SearchProcedure : public Firebird::Udr::Procedure<SearchProcedure<kKind>, Status> {
 public:
  static constexpr const char* kName = kKind == SearchKind::kQuery    ? "FT_SEARCH"
                                       : kKind == SearchKind::kPhrase ? "FT_SEARCH_PHRASE"
                                       : kKind == SearchKind::kPrefix ? "FT_SEARCH_PREFIX"
                                                                      : "FT_SEARCH_SOUND";

  void getCharSet(Status*, Firebird::IExternalContext*, char* name, unsigned nameSize) override {
    WorkInStoredCharacterSet(name, nameSize);
  }

  SearchProcedure(Status* status, Firebird::IExternalContext*, Firebird::IRoutineMetadata* metadata) {
    declarationProblem_ = DeclarationProblem([&] {
      const MessageLayout in(status, metadata->getInputMetadata(status), 2, 3, kScript);
      text_ = TextArgument(in, 0);
      maxRows_ = in.Integer(1, SQL_LONG);
      indexName_ = IndexNameArgument(in, 2);
      layout_.hasMatchedWord = kKind == SearchKind::kSound;
      const MessageLayout out(status, metadata->getOutputMetadata(status), layout_.hasMatchedWord ? 3 : 2, kScript);
      layout_.document = out.Integer(0, SQL_INT64);
      layout_.score = out.Double(1);
      if (layout_.hasMatchedWord) layout_.matchedWord = out.Varchar(2);
    });
  }

  Firebird::IExternalResultSet* open(Status* status, Firebird::IExternalContext* context, void* inMessage,
                                     void* outMessage) override {
    return Guarded(status, kName, [&]() -> Firebird::IExternalResultSet* {
      RefuseBadDeclaration(declarationProblem_);
      const auto* in = static_cast<const unsigned char*>(inMessage);
      const std::optional<std::string> text = text_.Read(status, context, in);
      std::int32_t rows = IsNull(in, maxRows_.nullOffset) ? kDefaultRows : ReadInteger<std::int32_t>(in, maxRows_);
      if (rows < 0) rows = kDefaultRows;
      const auto limit = static_cast<std::size_t>(rows);
      IndexSession::Call call(session_, status, context, indexName_.Read(in));
      const std::string query = text ? call.Text(*text, text_.Charset()) : std::string();
      std::vector<index::Hit> hits = OnIndex(call.Name(), [&] {
        index::FulltextIndex& fulltext = call.Index();
        switch (kKind) {
          case SearchKind::kQuery: return fulltext.Search(query, limit);
          case SearchKind::kPhrase: return fulltext.SearchPhrase(query, limit);
          case SearchKind::kPrefix: return fulltext.SearchPrefix(query, limit);
          case SearchKind::kSound: break;
        }
        return fulltext.SearchSound(query, limit);
      });
      for (index::Hit& hit : hits) hit.matchedWord = call.Output(std::move(hit.matchedWord), layout_.matchedWord.charset);
      return new HitsResultSet(std::move(hits), layout_, static_cast<unsigned char*>(outMessage));
    });
  }

 private:
  std::string declarationProblem_;
  TextArgument text_;
  IntegerField maxRows_;
  IndexNameArgument indexName_;
  HitLayout layout_;
  IndexSession session_;
};

// Every document the index holds.
class DocumentsProcedure : public Firebird::Udr::Procedure<DocumentsProcedure, Status> {
 public:
  static constexpr const char* kName = "FT_DOCUMENTS";

  void getCharSet(Status*, Firebird::IExternalContext*, char* name, unsigned nameSize) override {
    WorkInStoredCharacterSet(name, nameSize);
  }

  struct Layout {
    IntegerField document, crc, length;
  };

  class ResultSet : public Firebird::IExternalResultSetImpl<ResultSet, Status> {
   public:
    ResultSet(std::vector<index::DocumentInfo> documents, const Layout& layout, unsigned char* out)
        : documents_(std::move(documents)), layout_(layout), out_(out) {
      for (const unsigned offset : {layout.document.nullOffset, layout.crc.nullOffset, layout.length.nullOffset}) {
        SetNotNull(out_, offset);
      }
    }
    void dispose() override { delete this; }
    FB_BOOLEAN fetch(Status*) override {
      if (next_ == documents_.size()) return FB_FALSE;
      const index::DocumentInfo& document = documents_[next_++];
      PutInteger(out_, layout_.document, document.Id());
      PutInteger(out_, layout_.crc, document.crc);
      PutInteger(out_, layout_.length, static_cast<std::int32_t>(document.length));
      return FB_TRUE;
    }

   private:
    std::vector<index::DocumentInfo> documents_;
    std::size_t next_ = 0;
    const Layout layout_;
    unsigned char* const out_;
  };

  DocumentsProcedure(Status* status, Firebird::IExternalContext*, Firebird::IRoutineMetadata* metadata) {
    declarationProblem_ = DeclarationProblem([&] {
      indexName_ = IndexNameArgument(MessageLayout(status, metadata->getInputMetadata(status), 0, 1, kScript), 0);
      const MessageLayout out(status, metadata->getOutputMetadata(status), 3, kScript);
      layout_.document = out.Integer(0, SQL_INT64);
      layout_.crc = out.Integer(1, SQL_LONG);
      layout_.length = out.Integer(2, SQL_LONG);
    });
  }

  Firebird::IExternalResultSet* open(Status* status, Firebird::IExternalContext* context, void* inMessage,
                                     void* outMessage) override {
    return Guarded(status, kName, [&]() -> Firebird::IExternalResultSet* {
      RefuseBadDeclaration(declarationProblem_);
      const std::string name = indexName_.Read(static_cast<const unsigned char*>(inMessage));
      IndexSession::Call call(session_, status, context, name);
      std::vector<index::DocumentInfo> documents = OnIndex(call.Name(), [&] { return call.Index().Documents(); });
      return new ResultSet(std::move(documents), layout_, static_cast<unsigned char*>(outMessage));
    });
  }

 private:
  std::string declarationProblem_;
  IndexNameArgument indexName_;
  Layout layout_;
  IndexSession session_;
};

// How a query is read: a row per word of each item.
class QueryPlanProcedure : public Firebird::Udr::Procedure<QueryPlanProcedure, Status> {
 public:
  static constexpr const char* kName = "FT_QUERY_PLAN";

  void getCharSet(Status*, Firebird::IExternalContext*, char* name, unsigned nameSize) override {
    WorkInStoredCharacterSet(name, nameSize);
  }

  struct Row {
    std::int32_t group;
    std::int32_t item;
    const char* kind;
    std::int16_t negated;
    std::int32_t term;
    std::int32_t offset;
    std::string word;
    std::string column;
  };

  struct Layout {
    IntegerField group, item;
    TextField kind;
    IntegerField negated, term, offset;
    TextField word;
    std::optional<TextField> column;
  };

  class ResultSet : public Firebird::IExternalResultSetImpl<ResultSet, Status> {
   public:
    ResultSet(std::vector<Row> rows, const Layout& layout, unsigned char* out) : rows_(std::move(rows)), layout_(layout), out_(out) {
      for (const unsigned offset : {layout.group.nullOffset, layout.item.nullOffset, layout.kind.nullOffset,
                                    layout.negated.nullOffset, layout.term.nullOffset, layout.offset.nullOffset,
                                    layout.word.nullOffset}) {
        SetNotNull(out_, offset);
      }
    }
    void dispose() override { delete this; }
    FB_BOOLEAN fetch(Status*) override {
      if (next_ == rows_.size()) return FB_FALSE;
      const Row& row = rows_[next_++];
      PutInteger(out_, layout_.group, row.group);
      PutInteger(out_, layout_.item, row.item);
      PutVarchar(out_, layout_.kind.offset, row.kind, std::strlen(row.kind));
      PutInteger(out_, layout_.negated, row.negated);
      PutInteger(out_, layout_.term, row.term);
      PutInteger(out_, layout_.offset, row.offset);
      PutWord(out_, layout_.word, row.word);
      if (layout_.column) {
        if (row.column.empty()) {
          SetNull(out_, layout_.column->nullOffset);
        } else {
          SetNotNull(out_, layout_.column->nullOffset);
          PutVarchar(out_, layout_.column->offset, row.column.data(),
                     FittingLength(row.column, layout_.column->capacity, layout_.column->encoding));
        }
      }
      return FB_TRUE;
    }

   private:
    std::vector<Row> rows_;
    std::size_t next_ = 0;
    const Layout layout_;
    unsigned char* const out_;
  };

  QueryPlanProcedure(Status* status, Firebird::IExternalContext*, Firebird::IRoutineMetadata* metadata) {
    declarationProblem_ = DeclarationProblem([&] {
      const MessageLayout in(status, metadata->getInputMetadata(status), 1, 2, kScript);
      text_ = TextArgument(in, 0);
      indexName_ = IndexNameArgument(in, 1);
      hasIndex_ = in.Count() > 1;
      const MessageLayout out(status, metadata->getOutputMetadata(status), 7, 8, kScript);
      layout_.group = out.Integer(0, SQL_LONG);
      layout_.item = out.Integer(1, SQL_LONG);
      layout_.kind = out.Varchar(2);
      layout_.negated = out.Integer(3, SQL_SHORT);
      layout_.term = out.Integer(4, SQL_LONG);
      layout_.offset = out.Integer(5, SQL_LONG);
      layout_.word = out.Varchar(6);
      if (out.Count() > 7) layout_.column = out.Varchar(7);
      if (layout_.kind.capacity < 6) throw RoutineError("KIND must hold 6 bytes");
    });
  }

  Firebird::IExternalResultSet* open(Status* status, Firebird::IExternalContext* context, void* inMessage,
                                     void* outMessage) override {
    return Guarded(status, kName, [&]() -> Firebird::IExternalResultSet* {
      RefuseBadDeclaration(declarationProblem_);
      const auto* in = static_cast<const unsigned char*>(inMessage);
      std::string text = text_.Read(status, context, in).value_or(std::string());
      index::IndexColumns columns;
      const index::TextAnalyzer* analyzer = &ModuleAnalyzer(text_.Encoding());
      std::optional<IndexSession::Call> call;
      if (hasIndex_) {
        call.emplace(session_, status, context, indexName_.Read(in));
        columns = call->Index().Columns();
        analyzer = &call->Analyzer();
        text = call->Text(std::move(text), text_.Charset());
      }
      const index::QueryPlan plan = index::ParseQuery(text, *analyzer, columns);
      std::vector<Row> rows;
      for (std::size_t g = 0; g < plan.groups.size(); ++g) {
        for (std::size_t i = 0; i < plan.groups[g].size(); ++i) {
          const index::QueryItem& item = plan.groups[g][i];
          for (std::size_t w = 0; w < item.words.size(); ++w) {
            rows.push_back({static_cast<std::int32_t>(g + 1), static_cast<std::int32_t>(i + 1), index::KindName(item.kind),
                            static_cast<std::int16_t>(item.negated ? 1 : 0), item.term, static_cast<std::int32_t>(w),
                            call ? call->Output(item.words[w], layout_.word.charset) : item.words[w],
                            item.columnName});
          }
        }
      }
      return new ResultSet(std::move(rows), layout_, static_cast<unsigned char*>(outMessage));
    });
  }

 private:
  std::string declarationProblem_;
  TextArgument text_;
  IndexNameArgument indexName_;
  bool hasIndex_ = false;
  Layout layout_;
  IndexSession session_;
};

Firebird::Udr::ProcedureFactoryImpl<SearchProcedure<SearchKind::kQuery>, Status> searchFactory("ft_search");
Firebird::Udr::ProcedureFactoryImpl<SearchProcedure<SearchKind::kPhrase>, Status> phraseFactory("ft_search_phrase");
Firebird::Udr::ProcedureFactoryImpl<SearchProcedure<SearchKind::kPrefix>, Status> prefixFactory("ft_search_prefix");
Firebird::Udr::ProcedureFactoryImpl<SearchProcedure<SearchKind::kSound>, Status> soundFactory("ft_search_sound");
Firebird::Udr::ProcedureFactoryImpl<QueryPlanProcedure, Status> queryPlanFactory("ft_query_plan");
Firebird::Udr::ProcedureFactoryImpl<DocumentsProcedure, Status> documentsFactory("ft_documents");

}  // namespace
}  // namespace vexa::udr

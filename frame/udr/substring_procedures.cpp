// The searches of a substring index (an index made with the analyzer
// trigram), each a selectable procedure giving the keys of the rows that
// satisfy the engine's own predicate, ascending:
//
//   FT_CONTAINING(PATTERN BLOB SUB_TYPE TEXT, INDEX_NAME, COLUMN_NAME = NULL)
//   FT_STARTING_WITH(PATTERN BLOB SUB_TYPE TEXT, INDEX_NAME, COLUMN_NAME = NULL)
//   FT_LIKE(PATTERN BLOB SUB_TYPE TEXT, INDEX_NAME, COLUMN_NAME = NULL,
//           ESCAPE_CHARACTER VARCHAR(1) = NULL)
//     RETURNS (DOC_ID BIGINT)
//   FT_SIMILAR(TXT BLOB SUB_TYPE TEXT, MAX_ROWS INTEGER = 20, INDEX_NAME)
//     RETURNS (DOC_ID BIGINT, SIMILARITY DOUBLE PRECISION)
//     the rows most like TXT by the trigrams they share, most alike first
//
// A row satisfies it when one of the index's columns (COLUMN_NAME's, when
// given) does: COLUMN CONTAINING PATTERN, and so on. A NULL pattern finds
// nothing, as the predicate is then unknown.
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "frame/udr/index_name_argument.h"
#include "frame/udr/index_session.h"
#include "frame/udr/message_layout.h"
#include "frame/udr/routine_error.h"
#include "frame/udr/substring_check.h"
#include "frame/udr/text_argument.h"

namespace vexa::udr {
namespace {

// The index an INDEX_NAME argument names: substring searches name theirs.
std::string NamedIndex(const IndexNameArgument& argument, const unsigned char* in) {
  std::optional<std::string> name = argument.ReadGiven(in);
  if (!name) throw RoutineError("INDEX_NAME is NULL: name the substring index to search");
  return std::move(*name);
}

class KeyRows : public Firebird::IExternalResultSetImpl<KeyRows, Status> {
 public:
  KeyRows(std::vector<index::DocumentId> keys, const IntegerField& field, unsigned char* out)
      : keys_(std::move(keys)), field_(field), out_(out) {
    SetNotNull(out_, field_.nullOffset);
  }
  void dispose() override { delete this; }
  FB_BOOLEAN fetch(Status*) override {
    if (next_ == keys_.size()) return FB_FALSE;
    PutInteger(out_, field_, keys_[next_++]);
    return FB_TRUE;
  }

 private:
  std::vector<index::DocumentId> keys_;
  std::size_t next_ = 0;
  const IntegerField field_;
  unsigned char* const out_;
};

template <index::SubstringTest kTest>
class SubstringProcedure : public Firebird::Udr::Procedure<SubstringProcedure<kTest>, Status> {
 public:
  static constexpr bool kLike = kTest == index::SubstringTest::kLike;
  static constexpr const char* kName = kTest == index::SubstringTest::kContaining     ? "FT_CONTAINING"
                                       : kTest == index::SubstringTest::kStartingWith ? "FT_STARTING_WITH"
                                                                                      : "FT_LIKE";

  void getCharSet(Status*, Firebird::IExternalContext*, char* name, unsigned nameSize) override {
    WorkInStoredCharacterSet(name, nameSize);
  }

  SubstringProcedure(Status* status, Firebird::IExternalContext*, Firebird::IRoutineMetadata* metadata) {
    declarationProblem_ = DeclarationProblem([&] {
      const MessageLayout in(status, metadata->getInputMetadata(status), 2, kLike ? 4 : 3, kScript);
      pattern_ = TextArgument(in, 0);
      indexName_ = IndexNameArgument(in, 1);
      column_ = IndexNameArgument(in, 2);
      if (kLike && in.Count() > 3) escape_ = TextArgument(in, 3);
      document_ = MessageLayout(status, metadata->getOutputMetadata(status), 1, kScript).Integer(0, SQL_INT64);
    });
  }

  Firebird::IExternalResultSet* open(Status* status, Firebird::IExternalContext* context, void* inMessage,
                                     void* outMessage) override {
    return Guarded(status, kName, [&]() -> Firebird::IExternalResultSet* {
      RefuseBadDeclaration(declarationProblem_);
      const auto* in = static_cast<const unsigned char*>(inMessage);
      auto* out = static_cast<unsigned char*>(outMessage);
      const std::optional<std::string> pattern = pattern_.Read(status, context, in);
      IndexSession::Call call(session_, status, context, NamedIndex(indexName_, in));
      if (!pattern) return new KeyRows({}, document_, out);
      const std::string text = call.Text(*pattern, pattern_.Charset());
      std::optional<std::string> escape;
      if (kLike) {
        if (const std::optional<std::string> typed = escape_.Read(status, context, in)) {
          escape = call.Text(*typed, escape_.Charset());
        }
      }
      const std::string column = column_.ReadGiven(in).value_or(std::string());
      std::vector<index::DocumentId> keys = OnIndex(call.Name(), [&] {
        index::FulltextIndex::SubstringMatches matches = call.Index().SearchSubstring(kTest, text, escape, column);
        if (matches.exact) return std::move(matches.documents);
        if (!call.Identity().source) {
          throw RoutineError("the full-text index " + call.Name() +
                             " is not over a table's columns, so its rows cannot be read: " + kName +
                             " needs an index made by FT_CREATE_INDEX");
        }
        return CheckInTable(call, status, context, kTest, text, escape, column, matches.documents);
      });
      return new KeyRows(std::move(keys), document_, out);
    });
  }

 private:
  std::string declarationProblem_;
  TextArgument pattern_;
  IndexNameArgument indexName_;
  IndexNameArgument column_;
  TextArgument escape_;
  IntegerField document_;
  IndexSession session_;
};

class SimilarRows : public Firebird::IExternalResultSetImpl<SimilarRows, Status> {
 public:
  SimilarRows(std::vector<index::Hit> hits, const IntegerField& document, const DoubleField& similarity,
              unsigned char* out)
      : hits_(std::move(hits)), document_(document), similarity_(similarity), out_(out) {
    SetNotNull(out_, document_.nullOffset);
    SetNotNull(out_, similarity_.nullOffset);
  }
  void dispose() override { delete this; }
  FB_BOOLEAN fetch(Status*) override {
    if (next_ == hits_.size()) return FB_FALSE;
    const index::Hit& hit = hits_[next_++];
    PutInteger(out_, document_, hit.id);
    std::memcpy(out_ + similarity_.offset, &hit.score, sizeof hit.score);
    return FB_TRUE;
  }

 private:
  std::vector<index::Hit> hits_;
  std::size_t next_ = 0;
  const IntegerField document_;
  const DoubleField similarity_;
  unsigned char* const out_;
};

class SimilarProcedure : public Firebird::Udr::Procedure<SimilarProcedure, Status> {
 public:
  static constexpr const char* kName = "FT_SIMILAR";
  // MAX_ROWS when it is NULL or below 0.
  static constexpr std::int32_t kDefaultRows = 20;

  void getCharSet(Status*, Firebird::IExternalContext*, char* name, unsigned nameSize) override {
    WorkInStoredCharacterSet(name, nameSize);
  }

  SimilarProcedure(Status* status, Firebird::IExternalContext*, Firebird::IRoutineMetadata* metadata) {
    declarationProblem_ = DeclarationProblem([&] {
      const MessageLayout in(status, metadata->getInputMetadata(status), 3, kScript);
      text_ = TextArgument(in, 0);
      maxRows_ = in.Integer(1, SQL_LONG);
      indexName_ = IndexNameArgument(in, 2);
      const MessageLayout out(status, metadata->getOutputMetadata(status), 2, kScript);
      document_ = out.Integer(0, SQL_INT64);
      similarity_ = out.Double(1);
    });
  }

  Firebird::IExternalResultSet* open(Status* status, Firebird::IExternalContext* context, void* inMessage,
                                     void* outMessage) override {
    return Guarded(status, kName, [&]() -> Firebird::IExternalResultSet* {
      RefuseBadDeclaration(declarationProblem_);
      const auto* in = static_cast<const unsigned char*>(inMessage);
      auto* out = static_cast<unsigned char*>(outMessage);
      IndexSession::Call call(session_, status, context, NamedIndex(indexName_, in));
      const std::optional<std::string> text = text_.Read(status, context, in);
      std::int32_t rows = IsNull(in, maxRows_.nullOffset) ? kDefaultRows : ReadInteger<std::int32_t>(in, maxRows_);
      if (rows < 0) rows = kDefaultRows;
      std::vector<index::Hit> hits;
      if (text) {
        const std::string words = call.Text(*text, text_.Charset());
        hits = OnIndex(call.Name(), [&] { return call.Index().SearchSimilar(words, static_cast<std::size_t>(rows)); });
      }
      return new SimilarRows(std::move(hits), document_, similarity_, out);
    });
  }

 private:
  std::string declarationProblem_;
  TextArgument text_;
  IntegerField maxRows_;
  IndexNameArgument indexName_;
  IntegerField document_;
  DoubleField similarity_;
  IndexSession session_;
};

Firebird::Udr::ProcedureFactoryImpl<SubstringProcedure<index::SubstringTest::kContaining>, Status> containingFactory(
    "ft_containing");
Firebird::Udr::ProcedureFactoryImpl<SubstringProcedure<index::SubstringTest::kStartingWith>, Status> startingFactory(
    "ft_starting_with");
Firebird::Udr::ProcedureFactoryImpl<SubstringProcedure<index::SubstringTest::kLike>, Status> likeFactory("ft_like");
Firebird::Udr::ProcedureFactoryImpl<SimilarProcedure, Status> similarFactory("ft_similar");

}  // namespace
}  // namespace vexa::udr

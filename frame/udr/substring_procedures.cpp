// The searches of a substring index (an index made with the analyzer
// trigram), each a selectable procedure giving the keys of the rows that
// satisfy the engine's own predicate, ascending:
//
//   FT_CONTAINING(PATTERN BLOB SUB_TYPE TEXT, INDEX_NAME, COLUMN_NAME = NULL)
//   FT_STARTING_WITH(PATTERN BLOB SUB_TYPE TEXT, INDEX_NAME, COLUMN_NAME = NULL)
//   FT_LIKE(PATTERN BLOB SUB_TYPE TEXT, INDEX_NAME, COLUMN_NAME = NULL,
//           ESCAPE_CHARACTER VARCHAR(1) = NULL)
//     RETURNS (DOC_ID BIGINT)
//
// A row satisfies it when one of the index's columns (COLUMN_NAME's, when
// given) does: COLUMN CONTAINING PATTERN, and so on. A NULL pattern finds
// nothing, as the predicate is then unknown.
#include <cstdint>
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
      const std::optional<std::string> given = indexName_.ReadGiven(in);
      if (!given) throw RoutineError("INDEX_NAME is NULL: name the substring index to search");
      IndexSession::Call call(session_, status, context, *given);
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

Firebird::Udr::ProcedureFactoryImpl<SubstringProcedure<index::SubstringTest::kContaining>, Status> containingFactory(
    "ft_containing");
Firebird::Udr::ProcedureFactoryImpl<SubstringProcedure<index::SubstringTest::kStartingWith>, Status> startingFactory(
    "ft_starting_with");
Firebird::Udr::ProcedureFactoryImpl<SubstringProcedure<index::SubstringTest::kLike>, Status> likeFactory("ft_like");

}  // namespace
}  // namespace vexa::udr

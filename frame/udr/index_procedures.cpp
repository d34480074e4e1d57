// The procedures that change the index, in the caller's transaction:
//
//   FT_INDEX(DOC_ID BIGINT, TXT BLOB SUB_TYPE TEXT, INDEX_NAME) RETURNS (CHANGED SMALLINT)
//   FT_REMOVE(DOC_ID BIGINT, INDEX_NAME)
//   FT_MAINTAIN(INDEX_NAME)
//
// INDEX_NAME (index_name_argument.h) may be left out of a declaration.
#include <chrono>
#include <string>
#include <thread>

#include "frame/udr/index_name_argument.h"
#include "frame/udr/index_session.h"
#include "frame/udr/message_layout.h"
#include "frame/udr/routine_error.h"
#include "frame/udr/text_argument.h"

namespace vexa::udr {
namespace {


class IndexProcedure : public Firebird::Udr::Procedure<IndexProcedure, Status> {
 public:
  static constexpr const char* kName = "FT_INDEX";

  void getCharSet(Status*, Firebird::IExternalContext*, char* name, unsigned nameSize) override {
    WorkInStoredCharacterSet(name, nameSize);
  }

  IndexProcedure(Status* status, Firebird::IExternalContext*, Firebird::IRoutineMetadata* metadata) {
    declarationProblem_ = DeclarationProblem([&] {
      const MessageLayout in(status, metadata->getInputMetadata(status), 2, 3, kScript);
      document_ = in.Integer(0, SQL_INT64);
      text_ = TextArgument(in, 1);
      indexName_ = IndexNameArgument(in, 2);
      changed_ = MessageLayout(status, metadata->getOutputMetadata(status), 1, kScript).Integer(0, SQL_SHORT);
    });
  }

  Firebird::IExternalResultSet* open(Status* status, Firebird::IExternalContext* context, void* inMessage,
                                     void* outMessage) override {
    return Guarded(status, kName, [&]() -> Firebird::IExternalResultSet* {
      RefuseBadDeclaration(declarationProblem_);
      const auto* in = static_cast<const unsigned char*>(inMessage);
      if (IsNull(in, document_.nullOffset)) throw RoutineError("DOC_ID is NULL");
      const std::optional<std::string> text = text_.Read(status, context, in);
      IndexSession::Call call(session_, status, context, indexName_.Read(in));
      const std::string words = text ? call.Text(*text, text_.Charset()) : std::string();
      const bool changed =
          OnIndex(call.Name(), [&] { return call.Index().Index(ReadInteger<std::int64_t>(in, document_), words); });
      auto* out = static_cast<unsigned char*>(outMessage);
      SetNotNull(out, changed_.nullOffset);
      PutInteger(out, changed_, static_cast<std::int16_t>(changed ? 1 : 0));
      return nullptr;
    });
  }

 private:
  std::string declarationProblem_;
  IntegerField document_;
  TextArgument text_;
  IndexNameArgument indexName_;
  IntegerField changed_;
  IndexSession session_;
};

class RemoveProcedure : public Firebird::Udr::Procedure<RemoveProcedure, Status> {
 public:
  static constexpr const char* kName = "FT_REMOVE";

  void getCharSet(Status*, Firebird::IExternalContext*, char* name, unsigned nameSize) override {
    WorkInStoredCharacterSet(name, nameSize);
  }

  RemoveProcedure(Status* status, Firebird::IExternalContext*, Firebird::IRoutineMetadata* metadata) {
    declarationProblem_ = DeclarationProblem([&] {
      const MessageLayout in(status, metadata->getInputMetadata(status), 1, 2, kScript);
      document_ = in.Integer(0, SQL_INT64);
      indexName_ = IndexNameArgument(in, 1);
      MessageLayout(status, metadata->getOutputMetadata(status), 0, kScript);
    });
  }

  Firebird::IExternalResultSet* open(Status* status, Firebird::IExternalContext* context, void* inMessage,
                                     void*) override {
    return Guarded(status, kName, [&]() -> Firebird::IExternalResultSet* {
      RefuseBadDeclaration(declarationProblem_);
      const auto* in = static_cast<const unsigned char*>(inMessage);
      if (IsNull(in, document_.nullOffset)) return nullptr;
      IndexSession::Call call(session_, status, context, indexName_.Read(in));
      OnIndex(call.Name(), [&] { return call.Index().Remove(ReadInteger<std::int64_t>(in, document_)); });
      return nullptr;
    });
  }

 private:
  std::string declarationProblem_;
  IntegerField document_;
  IndexNameArgument indexName_;
  IndexSession session_;
};

// Flushes what others committed and merges every segment into one, leaving
// deleted documents out. Waits a while for a maintenance already at work.
class MaintainProcedure : public Firebird::Udr::Procedure<MaintainProcedure, Status> {
 public:
  static constexpr const char* kName = "FT_MAINTAIN";

  void getCharSet(Status*, Firebird::IExternalContext*, char* name, unsigned nameSize) override {
    WorkInStoredCharacterSet(name, nameSize);
  }

  MaintainProcedure(Status* status, Firebird::IExternalContext*, Firebird::IRoutineMetadata* metadata) {
    declarationProblem_ = DeclarationProblem([&] {
      indexName_ = IndexNameArgument(MessageLayout(status, metadata->getInputMetadata(status), 0, 1, kScript), 0);
      MessageLayout(status, metadata->getOutputMetadata(status), 0, kScript);
    });
  }

  Firebird::IExternalResultSet* open(Status* status, Firebird::IExternalContext* context, void* inMessage,
                                     void*) override {
    return Guarded(status, kName, [&]() -> Firebird::IExternalResultSet* {
      RefuseBadDeclaration(declarationProblem_);
      const std::string name = indexName_.Read(static_cast<const unsigned char*>(inMessage));
      IndexSession::Call call(session_, status, context, name);
      OnIndex(call.Name(), [&] {
        constexpr int kAttempts = 100;
        bool merged = false;
        for (int attempt = 0; attempt < kAttempts && !merged; ++attempt) {
          merged = call.Index().Maintain(true);
          if (!merged) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (!merged) throw RoutineError("another maintenance of the index kept at work for 10 seconds");
        return true;
      });
      return nullptr;
    });
  }

 private:
  std::string declarationProblem_;
  IndexNameArgument indexName_;
  IndexSession session_;
};

Firebird::Udr::ProcedureFactoryImpl<IndexProcedure, Status> indexFactory("ft_index");
Firebird::Udr::ProcedureFactoryImpl<RemoveProcedure, Status> removeFactory("ft_remove");
Firebird::Udr::ProcedureFactoryImpl<MaintainProcedure, Status> maintainFactory("ft_maintain");

}  // namespace
}  // namespace vexa::udr

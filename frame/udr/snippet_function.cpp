// FT_SNIPPET(TXT BLOB SUB_TYPE TEXT, QUERY BLOB SUB_TYPE TEXT, START_MARK VARCHAR(40) = '<b>',
//            END_MARK VARCHAR(40) = '</b>', MAX_WORDS INTEGER = 30, ELLIPSIS VARCHAR(10) = '...')
//   RETURNS VARCHAR(8000)
// The best fragment of TXT for QUERY (index/snippet.h); NULL for a NULL text.
#include <string>

#include "frame/udr/message_layout.h"
#include "frame/udr/module_analyzer.h"
#include "frame/udr/routine_error.h"
#include "frame/udr/text_argument.h"
#include "index/snippet.h"

namespace vexa::udr {
namespace {

constexpr const char* kScript = "sql/fulltext_udr.sql";

class SnippetFunction : public Firebird::Udr::Function<SnippetFunction, Status> {
 public:
  static constexpr const char* kName = "FT_SNIPPET";

  void getCharSet(Status*, Firebird::IExternalContext*, char* name, unsigned nameSize) override {
    WorkInStoredCharacterSet(name, nameSize);
  }

  SnippetFunction(Status* status, Firebird::IExternalContext*, Firebird::IRoutineMetadata* metadata) {
    declarationProblem_ = DeclarationProblem([&] {
      const MessageLayout in(status, metadata->getInputMetadata(status), 6, kScript);
      text_ = TextArgument(in, 0);
      query_ = TextArgument(in, 1);
      startMark_ = TextArgument(in, 2);
      endMark_ = TextArgument(in, 3);
      maxWords_ = in.Integer(4, SQL_LONG);
      ellipsis_ = TextArgument(in, 5);
      result_ = MessageLayout(status, metadata->getOutputMetadata(status), 1, kScript).Varchar(0);
    });
  }

  void execute(Status* status, Firebird::IExternalContext* context, void* inMessage, void* outMessage) override {
    Guarded(status, kName, [&] {
      RefuseBadDeclaration(declarationProblem_);
      const auto* in = static_cast<const unsigned char*>(inMessage);
      auto* out = static_cast<unsigned char*>(outMessage);
      const std::optional<std::string> text = text_.Read(status, context, in);
      if (!text) {
        const std::int16_t null = -1;
        std::memcpy(out + result_.nullOffset, &null, sizeof null);
        return;
      }
      index::SnippetOptions options;
      options.startMark = startMark_.Read(status, context, in).value_or(std::string());
      options.endMark = endMark_.Read(status, context, in).value_or(std::string());
      options.ellipsis = ellipsis_.Read(status, context, in).value_or(std::string());
      options.maxWords = IsNull(in, maxWords_.nullOffset) ? 30 : ReadInteger<std::int32_t>(in, maxWords_);
      options.encoding = text_.Encoding();
      const std::string snippet = index::Snippet(*text, query_.Read(status, context, in).value_or(std::string()),
                                                 ModuleAnalyzer(text_.Encoding()), options);
      SetNotNull(out, result_.nullOffset);
      PutVarchar(out, result_.offset, snippet.data(), FittingLength(snippet, result_.capacity, result_.encoding));
    });
  }

 private:
  std::string declarationProblem_;
  TextArgument text_;
  TextArgument query_;
  TextArgument startMark_;
  TextArgument endMark_;
  IntegerField maxWords_;
  TextArgument ellipsis_;
  TextField result_;
};

Firebird::Udr::FunctionFactoryImpl<SnippetFunction, Status> snippetFactory("ft_snippet");

}  // namespace
}  // namespace vexa::udr

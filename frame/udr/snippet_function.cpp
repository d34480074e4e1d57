// FT_SNIPPET(TXT BLOB SUB_TYPE TEXT, QUERY BLOB SUB_TYPE TEXT, START_MARK VARCHAR(40) = '<b>',
//            END_MARK VARCHAR(40) = '</b>', MAX_WORDS INTEGER = 30, ELLIPSIS VARCHAR(10) = '...',
//            INDEX_NAME, COLUMN_NAME VARCHAR(63) = NULL, ESCAPE_HTML SMALLINT = 0)
//   RETURNS VARCHAR(8000)
// The best fragment of TXT for QUERY (index/snippet.h); NULL for a NULL text.
//
// FT_HIGHLIGHT(TXT BLOB SUB_TYPE TEXT, QUERY BLOB SUB_TYPE TEXT, START_MARK VARCHAR(40) = '<b>',
//              END_MARK VARCHAR(40) = '</b>', INDEX_NAME, COLUMN_NAME VARCHAR(63) = NULL,
//              ESCAPE_HTML SMALLINT = 0)
//   RETURNS BLOB SUB_TYPE TEXT
// The whole of TXT with every match of QUERY marked; NULL for a NULL text.
//
// QUERY is read with the columns of the index INDEX_NAME, and TXT is the text
// of its column COLUMN_NAME (NULL: any column's); the three may be left out
// of FT_SNIPPET's declaration.
#include <optional>
#include <string>

#include "frame/udr/blob_text.h"
#include "frame/udr/index_name_argument.h"
#include "frame/udr/index_session.h"
#include "frame/udr/message_layout.h"
#include "frame/udr/module_analyzer.h"
#include "frame/udr/routine_error.h"
#include "frame/udr/text_argument.h"
#include "index/snippet.h"

namespace vexa::udr {
namespace {

constexpr const char* kScript = "sql/fulltext_udr.sql";
// The engine's id of UTF8, which a Unicode index's marked text is written in.
constexpr unsigned kUtf8Charset = 4;

enum class MarkedText { kSnippet, kHighlight };

template <MarkedText kKind>
class MarkedTextFunction : public Firebird::Udr::Function<MarkedTextFunction<kKind>, Status> {
 public:
  static constexpr const char* kName = kKind == MarkedText::kSnippet ? "FT_SNIPPET" : "FT_HIGHLIGHT";
  // Where INDEX_NAME stands; COLUMN_NAME and ESCAPE_HTML follow it.
  static constexpr unsigned kIndexField = kKind == MarkedText::kSnippet ? 6 : 4;

  void getCharSet(Status*, Firebird::IExternalContext*, char* name, unsigned nameSize) override {
    WorkInStoredCharacterSet(name, nameSize);
  }

  MarkedTextFunction(Status* status, Firebird::IExternalContext*, Firebird::IRoutineMetadata* metadata) {
    declarationProblem_ = DeclarationProblem([&] {
      const unsigned fewest = kKind == MarkedText::kSnippet ? kIndexField : kIndexField + 3;
      const MessageLayout in(status, metadata->getInputMetadata(status), fewest, kIndexField + 3, kScript);
      text_ = TextArgument(in, 0);
      query_ = TextArgument(in, 1);
      startMark_ = TextArgument(in, 2);
      endMark_ = TextArgument(in, 3);
      if (kKind == MarkedText::kSnippet) {
        maxWords_ = in.Integer(4, SQL_LONG);
        ellipsis_ = TextArgument(in, 5);
      }
      hasIndex_ = in.Count() > kIndexField;
      if (hasIndex_) {
        indexName_ = IndexNameArgument(in, kIndexField);
        column_ = TextArgument(in, kIndexField + 1);
        escapeHtml_ = in.Integer(kIndexField + 2, SQL_SHORT);
      }
      const MessageLayout out(status, metadata->getOutputMetadata(status), 1, kScript);
      if (kKind == MarkedText::kSnippet) {
        result_ = out.Varchar(0);
      } else {
        resultBlob_ = out.Blob(0);
      }
    });
  }

  void execute(Status* status, Firebird::IExternalContext* context, void* inMessage, void* outMessage) override {
    Guarded(status, kName, [&] {
      RefuseBadDeclaration(declarationProblem_);
      const auto* in = static_cast<const unsigned char*>(inMessage);
      auto* out = static_cast<unsigned char*>(outMessage);
      const unsigned nullOffset = kKind == MarkedText::kSnippet ? result_.nullOffset : resultBlob_.nullOffset;
      std::optional<std::string> text = text_.Read(status, context, in);
      if (!text) {
        SetNull(out, nullOffset);
        return;
      }
      // Without an index the module's own analyzer reads the text; with one,
      // the index's, which may read every text as UTF-8.
      std::optional<IndexSession::Call> call;
      if (hasIndex_) call.emplace(session_, status, context, indexName_.Read(in));
      const bool utf8 = call && call->ReadsUtf8();
      const auto read = [&](const TextArgument& argument) {
        std::string value = argument.Read(status, context, in).value_or(std::string());
        return call ? call->Text(std::move(value), argument.Charset()) : value;
      };
      if (call) *text = call->Text(std::move(*text), text_.Charset());
      index::SnippetOptions options;
      options.startMark = read(startMark_);
      options.endMark = read(endMark_);
      if (kKind == MarkedText::kSnippet) {
        options.ellipsis = read(ellipsis_);
        options.maxWords = IsNull(in, maxWords_.nullOffset) ? 30 : ReadInteger<std::int32_t>(in, maxWords_);
      }
      options.encoding = utf8 ? TextEncoding::kUtf8 : text_.Encoding();
      if (call) {
        options.columns = call->Index().Columns();
        options.column = column_.Read(status, context, in).value_or(std::string());
        options.escapeHtml = !IsNull(in, escapeHtml_.nullOffset) && ReadInteger<std::int16_t>(in, escapeHtml_) != 0;
      }
      const std::string query = read(query_);
      const index::TextAnalyzer& analyzer = call ? call->Analyzer() : ModuleAnalyzer(text_.Encoding());
      // The character set the marked text is written in.
      const unsigned markedCharset = utf8 ? kUtf8Charset : text_.Charset();
      SetNotNull(out, nullOffset);
      if (kKind == MarkedText::kSnippet) {
        std::string snippet = index::Snippet(*text, query, analyzer, options);
        if (call) snippet = call->Output(std::move(snippet), result_.charset);
        PutVarchar(out, result_.offset, snippet.data(), FittingLength(snippet, result_.capacity, result_.encoding));
      } else {
        const std::string marked = index::Highlight(*text, query, analyzer, options);
        const Released<Firebird::IAttachment> attachment(context->getAttachment(status));
        const Released<Firebird::ITransaction> transaction(context->getTransaction(status));
        // Written in the text's character set, turned by the engine into the
        // result's (UTF8), which it then hands to clients as they ask.
        const ISC_QUAD blob = WriteBlob(status, attachment.Get(), transaction.Get(), marked,
                                        BlobCharsets{markedCharset, resultBlob_.charset});
        std::memcpy(out + resultBlob_.offset, &blob, sizeof blob);
      }
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
  bool hasIndex_ = false;
  IndexNameArgument indexName_;
  TextArgument column_;
  IntegerField escapeHtml_;
  TextField result_;
  BlobField resultBlob_;
  IndexSession session_;
};

Firebird::Udr::FunctionFactoryImpl<MarkedTextFunction<MarkedText::kSnippet>, Status> snippetFactory("ft_snippet");
Firebird::Udr::FunctionFactoryImpl<MarkedTextFunction<MarkedText::kHighlight>, Status> highlightFactory("ft_highlight");

}  // namespace
}  // namespace vexa::udr

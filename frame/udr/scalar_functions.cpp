// The stored functions FT_CRC, FT_SOUND_CODE and FT_ANALYZER.
//
//   FT_CRC(TXT BLOB SUB_TYPE TEXT, INDEX_NAME = NULL) RETURNS INTEGER
//   FT_SOUND_CODE(WORD VARCHAR(255), INDEX_NAME = NULL) RETURNS INTEGER
//     the module's own, or with INDEX_NAME that index's analyzer's
//   FT_ANALYZER(ANALYZER VARCHAR(255)) RETURNS VARCHAR(255)
//     what an index made with ANALYZER records (analysis/analyzer_choice.h);
//     an error naming what is wrong with it
#include <cstdint>
#include <string>

#include "frame/udr/blob_text.h"
#include "frame/udr/index_name_argument.h"
#include "frame/udr/index_session.h"
#include "frame/udr/text_argument.h"
#include "frame/udr/message_layout.h"
#include "frame/udr/module_analyzer.h"
#include "frame/udr/routine_error.h"

namespace vexa::udr {
namespace {

// Parser_CRC of a document parser fed TXT: -1 when it keeps no word. The
// parser lives for this call alone and takes no handle.
class CrcFunction : public Firebird::Udr::Function<CrcFunction, Status> {
 public:
  static constexpr const char* kName = "FT_CRC";

  void getCharSet(Status*, Firebird::IExternalContext*, char* name, unsigned nameSize) override {
    WorkInStoredCharacterSet(name, nameSize);
  }

  CrcFunction(Status* status, Firebird::IExternalContext*, Firebird::IRoutineMetadata* metadata) {
    declarationProblem_ = DeclarationProblem([&] {
      const MessageLayout in(status, metadata->getInputMetadata(status), 1, 2, "sql/splitting_udr.sql");
      text_ = in.Blob(0);
      indexName_ = IndexNameArgument(in, 1);
      result_ = MessageLayout(status, metadata->getOutputMetadata(status), 1).Integer(0, SQL_LONG);
    });
  }

  void execute(Status* status, Firebird::IExternalContext* context, void* inMessage, void* outMessage) override {
    Guarded(status, kName, [&] {
      RefuseBadDeclaration(declarationProblem_);
      const auto* in = static_cast<const unsigned char*>(inMessage);
      std::int32_t crc = 0;
      if (const std::optional<std::string> indexName = indexName_.ReadGiven(in)) {
        IndexSession::Call call(session_, status, context, *indexName);
        const std::string text =
            call.Text(BlobFieldBytes(status, context, in, text_).value_or(std::string()), text_.charset);
        crc = call.Analyzer().DocumentWords(text, [](std::string_view) {});
      } else {
        TParser parser(false, StartedConfiguration().settings);
        AddBlobText(status, context, in, text_, parser);
        crc = static_cast<std::int32_t>(parser.CRC());
      }
      auto* out = static_cast<unsigned char*>(outMessage);
      SetNotNull(out, result_.nullOffset);
      PutInteger(out, result_, crc);
    });
  }

 private:
  std::string declarationProblem_;
  BlobField text_;
  IndexNameArgument indexName_;
  IntegerField result_;
  IndexSession session_;
};

// StrSoundEX of WORD; a NULL word counts as an empty one, as the legacy
// function receives it.
class SoundCodeFunction : public Firebird::Udr::Function<SoundCodeFunction, Status> {
 public:
  static constexpr const char* kName = "FT_SOUND_CODE";

  void getCharSet(Status*, Firebird::IExternalContext*, char* name, unsigned nameSize) override {
    WorkInStoredCharacterSet(name, nameSize);
  }

  SoundCodeFunction(Status* status, Firebird::IExternalContext*, Firebird::IRoutineMetadata* metadata) {
    declarationProblem_ = DeclarationProblem([&] {
      const MessageLayout in(status, metadata->getInputMetadata(status), 1, 2, "sql/splitting_udr.sql");
      word_ = in.Varchar(0, true);
      wordIsChar_ = in.IsChar(0);
      indexName_ = IndexNameArgument(in, 1);
      result_ = MessageLayout(status, metadata->getOutputMetadata(status), 1).Integer(0, SQL_LONG);
    });
  }

  void execute(Status* status, Firebird::IExternalContext* context, void* inMessage, void* outMessage) override {
    Guarded(status, kName, [&] {
      RefuseBadDeclaration(declarationProblem_);
      const auto* in = static_cast<const unsigned char*>(inMessage);
      const ModuleConfiguration& configuration = StartedConfiguration();
      std::int32_t code;
      const std::optional<std::string> indexName = indexName_.ReadGiven(in);
      if (indexName) {
        IndexSession::Call call(session_, status, context, *indexName);
        const std::string word = IsNull(in, word_.nullOffset) ? std::string() : WordText(in);
        code = call.Analyzer().SoundCode(call.Text(word.substr(0, word.find('\0')), word_.charset));
      } else if (IsNull(in, word_.nullOffset)) {
        code = configuration.soundCoder->Code("");
      } else {
        code = configuration.soundCoder->Code(WordText(in).c_str());
      }
      auto* out = static_cast<unsigned char*>(outMessage);
      SetNotNull(out, result_.nullOffset);
      PutInteger(out, result_, code);
    });
  }

 private:
  std::string declarationProblem_;

  // The word's bytes as a NUL-terminated string: the text ends at a NUL.
  std::string WordText(const unsigned char* in) const {
    const auto* bytes = reinterpret_cast<const char*>(in + word_.offset);
    if (wordIsChar_) return std::string(bytes, word_.capacity);
    std::uint16_t length;
    std::memcpy(&length, bytes, sizeof length);
    return std::string(bytes + sizeof length, length);
  }

  TextField word_;
  bool wordIsChar_ = false;
  IndexNameArgument indexName_;
  IntegerField result_;
  IndexSession session_;
};

// The default character set of the caller's database.
std::string DatabaseCharset(Status* status, Firebird::IExternalContext* context) {
  FB_MESSAGE(CharsetRow, Status, (FB_VARCHAR(63 * 4), name));
  const Released<Firebird::IAttachment> attachment(context->getAttachment(status));
  const Released<Firebird::ITransaction> transaction(context->getTransaction(status));
  CharsetRow row(status, context->getMaster());
  Released<Firebird::IResultSet> cursor(attachment->openCursor(
      status, transaction.Get(), 0, "SELECT RDB$CHARACTER_SET_NAME FROM RDB$DATABASE", SQL_DIALECT_V6, nullptr,
      nullptr, row.getMetadata(), nullptr, 0));
  std::string name = "NONE";
  if (cursor->fetchNext(status, row.getData()) == Firebird::IStatus::RESULT_OK && !row->nameNull) {
    name.assign(row->name.str, row->name.length);
    while (!name.empty() && name.back() == ' ') name.pop_back();
  }
  return name;
}

// What an index made with ANALYZER records: NULL or blank for the default of
// the database. Refused with what is wrong otherwise.
class AnalyzerFunction : public Firebird::Udr::Function<AnalyzerFunction, Status> {
 public:
  static constexpr const char* kName = "FT_ANALYZER";

  void getCharSet(Status*, Firebird::IExternalContext*, char* name, unsigned nameSize) override {
    WorkInStoredCharacterSet(name, nameSize);
  }

  AnalyzerFunction(Status* status, Firebird::IExternalContext*, Firebird::IRoutineMetadata* metadata) {
    declarationProblem_ = DeclarationProblem([&] {
      analyzer_ = TextArgument(MessageLayout(status, metadata->getInputMetadata(status), 1, "sql/fulltext_udr.sql"), 0);
      result_ = MessageLayout(status, metadata->getOutputMetadata(status), 1, "sql/fulltext_udr.sql").Varchar(0);
    });
  }

  void execute(Status* status, Firebird::IExternalContext* context, void* inMessage, void* outMessage) override {
    Guarded(status, kName, [&] {
      RefuseBadDeclaration(declarationProblem_);
      const auto* in = static_cast<const unsigned char*>(inMessage);
      const std::string typed = analyzer_.Read(status, context, in).value_or(std::string());
      const std::string recorded = RecordedAnalyzerName(typed, DatabaseCharset(status, context));
      if (recorded.size() > result_.capacity) throw RoutineError("the analyzer's text is too long: " + recorded);
      auto* out = static_cast<unsigned char*>(outMessage);
      SetNotNull(out, result_.nullOffset);
      PutVarchar(out, result_.offset, recorded.data(), recorded.size());
    });
  }

 private:
  std::string declarationProblem_;
  TextArgument analyzer_;
  TextField result_;
};

Firebird::Udr::FunctionFactoryImpl<CrcFunction, Status> crcFactory("ft_crc");
Firebird::Udr::FunctionFactoryImpl<SoundCodeFunction, Status> soundCodeFactory("ft_sound_code");
Firebird::Udr::FunctionFactoryImpl<AnalyzerFunction, Status> analyzerFactory("ft_analyzer");

}  // namespace
}  // namespace vexa::udr

// The selectable procedures FT_WORDS and FT_TERMS. Each execution makes a
// parser of its own, adds the text of TXT to it, and hands its rows out one
// fetch at a time; the parser goes with the result set.
//
//   FT_WORDS(TXT BLOB SUB_TYPE TEXT, FOR_QUERY SMALLINT = 0, INDEX_NAME = NULL)
//     RETURNS (POS INTEGER, WORD VARCHAR(64))
//     FOR_QUERY 0: a document parser; 1: a query parser; 2: a query parser
//     without the word filters, as prefixes are read. With INDEX_NAME, the
//     words of that index's analyzer: of a Unicode one, its document words
//     for 0 and 1, and its prefix words for 2.
//   FT_TERMS(TXT BLOB SUB_TYPE TEXT) RETURNS (WORD VARCHAR(31), PART INTEGER, FREQ INTEGER,
//                                             POSITIONS VARCHAR(250) CHARACTER SET ASCII)
//     each row's positions as wide as POSITIONS is declared; PART may be
//     SMALLINT, as it was declared before
#include <limits>
#include <memory>
#include <string>

#include "frame/udr/blob_text.h"
#include "frame/udr/index_name_argument.h"
#include "frame/udr/index_session.h"
#include "frame/udr/message_layout.h"
#include "frame/udr/module_analyzer.h"
#include "frame/udr/routine_error.h"
#include "frame/udr/term_rows.h"
#include "frame/udr/word_rows.h"

namespace vexa::udr {
namespace {

// The shortest room for positions that holds any one position.
constexpr unsigned kMinPositionsRoom = 10;

// The parser FOR_QUERY asks for: NULL and 0 a document parser, 1 a query
// parser, 2 a query parser without the word filters.
std::unique_ptr<TParser> ParserFor(std::int16_t forQuery) {
  switch (forQuery) {
    case 0: return std::make_unique<TParser>(false, StartedConfiguration().settings);
    case 1: return std::make_unique<TParser>(true, StartedConfiguration().settings);
    case 2: return std::make_unique<TParser>(true, PrefixSettings());
    default: break;
  }
  throw RoutineError("FOR_QUERY must be 0 (a document's words), 1 (a query's words) or 2 (a query's words as typed), not " +
                     std::to_string(forQuery));
}

// ---------------------------------------------------------------------------
// FT_WORDS

class WordsResultSet : public Firebird::IExternalResultSetImpl<WordsResultSet, Status> {
 public:
  WordsResultSet(std::unique_ptr<TParser> parser, const WordRowLayout& layout, unsigned char* out)
      : parser_(std::move(parser)), layout_(layout), out_(out) {}

  TParser& Parser() { return *parser_; }
  void Start() {
    rows_ = std::make_unique<WordRows>(*parser_);
    WordRows::Prepare(out_, layout_);
  }

  void dispose() override { delete this; }
  FB_BOOLEAN fetch(Status*) override { return rows_->Next(out_, layout_) ? FB_TRUE : FB_FALSE; }

 private:
  std::unique_ptr<TParser> parser_;
  const WordRowLayout layout_;
  unsigned char* const out_;
  std::unique_ptr<WordRows> rows_;
};

// The words of an analyzer other than the module's parser, made when the
// result set is opened.
class AnalyzedWordsResultSet : public Firebird::IExternalResultSetImpl<AnalyzedWordsResultSet, Status> {
 public:
  AnalyzedWordsResultSet(std::vector<std::string> words, const WordRowLayout& layout, unsigned char* out)
      : words_(std::move(words)), layout_(layout), out_(out) {
    WordRows::Prepare(out_, layout_);
  }

  void dispose() override { delete this; }
  FB_BOOLEAN fetch(Status*) override {
    if (next_ == words_.size()) return FB_FALSE;
    const std::string& word = words_[next_];
    PutInteger(out_, layout_.pos, static_cast<std::int32_t>(next_++));
    PutVarchar(out_, layout_.word.offset, word.data(), FittingLength(word, layout_.word.capacity, layout_.word.encoding));
    return FB_TRUE;
  }

 private:
  std::vector<std::string> words_;
  std::size_t next_ = 0;
  const WordRowLayout layout_;
  unsigned char* const out_;
};

class WordsProcedure : public Firebird::Udr::Procedure<WordsProcedure, Status> {
 public:
  static constexpr const char* kName = "FT_WORDS";

  void getCharSet(Status*, Firebird::IExternalContext*, char* name, unsigned nameSize) override {
    WorkInStoredCharacterSet(name, nameSize);
  }

  WordsProcedure(Status* status, Firebird::IExternalContext*, Firebird::IRoutineMetadata* metadata) {
    declarationProblem_ = DeclarationProblem([&] {
      const MessageLayout in(status, metadata->getInputMetadata(status), 2, 3, "sql/splitting_udr.sql");
      text_ = in.Blob(0);
      forQuery_ = in.Integer(1, SQL_SHORT);
      indexName_ = IndexNameArgument(in, 2);
      const MessageLayout out(status, metadata->getOutputMetadata(status), 2);
      layout_.pos = out.Integer(0, SQL_LONG);
      layout_.word = out.Varchar(1);
    });
  }

  Firebird::IExternalResultSet* open(Status* status, Firebird::IExternalContext* context, void* inMessage,
                                     void* outMessage) override {
    return Guarded(status, kName, [&]() -> Firebird::IExternalResultSet* {
      RefuseBadDeclaration(declarationProblem_);
      const auto* in = static_cast<const unsigned char*>(inMessage);
      const std::int16_t forQuery = IsNull(in, forQuery_.nullOffset) ? std::int16_t{0} : ReadInteger<std::int16_t>(in, forQuery_);
      if (const std::optional<std::string> indexName = indexName_.ReadGiven(in)) {
        IndexSession::Call call(session_, status, context, *indexName);
        if (call.ReadsUtf8()) {
          ParserFor(forQuery);  // refuses what FOR_QUERY may not be
          const std::string text =
              call.Text(BlobFieldBytes(status, context, in, text_).value_or(std::string()), text_.charset);
          std::vector<std::string> words =
              forQuery == 2 ? call.Analyzer().PrefixWords(text) : call.Analyzer().Words(text);
          for (std::string& word : words) word = call.Output(std::move(word), layout_.word.charset);
          return new AnalyzedWordsResultSet(std::move(words), layout_, static_cast<unsigned char*>(outMessage));
        }
      }
      auto resultSet =
          std::make_unique<WordsResultSet>(ParserFor(forQuery), layout_, static_cast<unsigned char*>(outMessage));
      AddBlobText(status, context, in, text_, resultSet->Parser());
      resultSet->Start();
      return resultSet.release();
    });
  }

 private:
  std::string declarationProblem_;
  BlobField text_;
  IntegerField forQuery_;
  IndexNameArgument indexName_;
  WordRowLayout layout_;
  IndexSession session_;
};

// ---------------------------------------------------------------------------
// FT_TERMS

struct TermRowLayout {
  TextField word;
  IntegerField part;  // INTEGER, or SMALLINT as declared before
  bool partIsSmallint = false;
  IntegerField freq;  // INTEGER
  TextField positions;
};

class TermsResultSet : public Firebird::IExternalResultSetImpl<TermsResultSet, Status> {
 public:
  TermsResultSet(const TermRowLayout& layout, unsigned char* out)
      : parser_(false, StartedConfiguration().settings), layout_(layout), out_(out) {}

  TParser& Parser() { return parser_; }
  void Start() {
    rows_ = std::make_unique<TermRows>(parser_, layout_.word, layout_.positions.capacity);
    for (const unsigned nullOffset :
         {layout_.word.nullOffset, layout_.part.nullOffset, layout_.freq.nullOffset, layout_.positions.nullOffset}) {
      SetNotNull(out_, nullOffset);
    }
  }

  void dispose() override { delete this; }
  FB_BOOLEAN fetch(Status* status) override {
    const bool fetched = Guarded(status, "FT_TERMS", [&] {
      TermRow row;
      if (!rows_->Next(row)) return false;
      PutVarchar(out_, layout_.word.offset, row.word.data(), row.word.size());
      if (!layout_.partIsSmallint) {
        PutInteger(out_, layout_.part, row.part);
      } else if (row.part <= std::numeric_limits<std::int16_t>::max()) {
        PutInteger(out_, layout_.part, static_cast<std::int16_t>(row.part));
      } else {
        throw RoutineError("a word's positions need more rows than a SMALLINT PART numbers: declare PART INTEGER "
                           "(sql/splitting_udr.sql)");
      }
      PutInteger(out_, layout_.freq, row.freq);
      PutVarchar(out_, layout_.positions.offset, row.positions.data(), row.positions.size());
      return true;
    });
    return fetched ? FB_TRUE : FB_FALSE;
  }

 private:
  TParser parser_;
  const TermRowLayout layout_;
  unsigned char* const out_;
  std::unique_ptr<TermRows> rows_;
};

class TermsProcedure : public Firebird::Udr::Procedure<TermsProcedure, Status> {
 public:
  static constexpr const char* kName = "FT_TERMS";

  void getCharSet(Status*, Firebird::IExternalContext*, char* name, unsigned nameSize) override {
    WorkInStoredCharacterSet(name, nameSize);
  }

  TermsProcedure(Status* status, Firebird::IExternalContext*, Firebird::IRoutineMetadata* metadata) {
    declarationProblem_ = DeclarationProblem([&] {
      const MessageLayout in(status, metadata->getInputMetadata(status), 1);
      text_ = in.Blob(0);
      const MessageLayout out(status, metadata->getOutputMetadata(status), 4);
      layout_.word = out.Varchar(0);
      layout_.partIsSmallint = out.IsSmallint(1);
      layout_.part = out.Integer(1, layout_.partIsSmallint ? SQL_SHORT : SQL_LONG);
      layout_.freq = out.Integer(2, SQL_LONG);
      layout_.positions = out.Varchar(3);
      if (layout_.positions.capacity < kMinPositionsRoom) throw RoutineError("POSITIONS must hold at least 10 bytes");
    });
  }

  Firebird::IExternalResultSet* open(Status* status, Firebird::IExternalContext* context, void* inMessage,
                                     void* outMessage) override {
    return Guarded(status, kName, [&] {
      RefuseBadDeclaration(declarationProblem_);
      const auto* in = static_cast<const unsigned char*>(inMessage);
      auto resultSet = std::make_unique<TermsResultSet>(layout_, static_cast<unsigned char*>(outMessage));
      AddBlobText(status, context, in, text_, resultSet->Parser());
      resultSet->Start();
      return resultSet.release();
    });
  }

 private:
  std::string declarationProblem_;
  BlobField text_;
  TermRowLayout layout_;
};

// Static objects: each registers itself with the engine's list when the
// module is loaded, and goes with the module when it is unloaded.
Firebird::Udr::ProcedureFactoryImpl<WordsProcedure, Status> wordsFactory("ft_words");
Firebird::Udr::ProcedureFactoryImpl<TermsProcedure, Status> termsFactory("ft_terms");

}  // namespace
}  // namespace vexa::udr

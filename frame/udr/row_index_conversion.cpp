// FT_CONVERT_ROWS: an index of the portable row design (FT_DOCUMENT, and
// FT_POSTING's positions as decimal text) becomes change rows of the
// segment index, in the caller's transaction, without splitting any
// document again: each document's stored words and positions go over as
// they are, with its CRC and length. A maintenance (FT_MAINTAIN) then moves
// them into segments. Run it while nothing indexes.
#include <algorithm>
#include <charconv>
#include <limits>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "frame/udr/index_session.h"
#include "frame/udr/message_layout.h"
#include "frame/udr/routine_error.h"
#include "index/document_postings.h"

namespace vexa::udr {
namespace {

FB_MESSAGE(DocumentRowOut, Status, (FB_BIGINT, document)(FB_INTEGER, crc)(FB_INTEGER, length));
FB_MESSAGE(PostingRowOut, Status, (FB_BIGINT, document)(FB_VARCHAR(31 * 4), word)(FB_VARCHAR(8000), positions));

// Appends the positions of `text` ('0 17 240') to `positions`.
void ParsePositions(std::int64_t document, const std::string& word, std::string_view text,
                    std::vector<std::uint32_t>& positions) {
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find(' ', at);
    if (end == std::string_view::npos) end = text.size();
    std::uint32_t position = 0;
    const auto parsed = std::from_chars(text.data() + at, text.data() + end, position);
    if (parsed.ec != std::errc() || parsed.ptr != text.data() + end) {
      throw RoutineError("document " + std::to_string(document) + ", word " + word + ": positions '" + std::string(text) +
                         "' are not numbers");
    }
    positions.push_back(position);
    at = end + 1;
  }
}

class ConvertProcedure : public Firebird::Udr::Procedure<ConvertProcedure, Status> {
 public:
  static constexpr const char* kName = "FT_CONVERT_ROWS";

  void getCharSet(Status*, Firebird::IExternalContext*, char* name, unsigned nameSize) override {
    WorkInStoredCharacterSet(name, nameSize);
  }

  ConvertProcedure(Status* status, Firebird::IExternalContext*, Firebird::IRoutineMetadata* metadata) {
    declarationProblem_ = DeclarationProblem([&] {
      MessageLayout(status, metadata->getInputMetadata(status), 0, kScript);
      converted_ = MessageLayout(status, metadata->getOutputMetadata(status), 1, kScript).Integer(0, SQL_LONG);
    });
  }

  Firebird::IExternalResultSet* open(Status* status, Firebird::IExternalContext* context, void*, void* outMessage) override {
    return Guarded(status, kName, [&]() -> Firebird::IExternalResultSet* {
      RefuseBadDeclaration(declarationProblem_);
      IndexSession::Call call(session_, status, context);
      const Released<Firebird::IAttachment> attachment(context->getAttachment(status));
      const Released<Firebird::ITransaction> transaction(context->getTransaction(status));
      Firebird::IMaster* master = context->getMaster();

      // Each document's CRC and length.
      std::map<std::int64_t, std::pair<std::int32_t, std::uint32_t>> documents;
      {
        DocumentRowOut row(status, master);
        Released<Firebird::IResultSet> cursor(attachment->openCursor(
            status, transaction.Get(), 0, "SELECT DOC_ID, CRC, WORD_COUNT FROM FT_DOCUMENT", SQL_DIALECT_V6, nullptr, nullptr,
            row.getMetadata(), nullptr, 0));
        while (cursor->fetchNext(status, row.getData()) == Firebird::IStatus::RESULT_OK) {
          documents[row->document] = {row->crc, static_cast<std::uint32_t>(row->length)};
        }
      }
      // Their postings, document by document.
      PostingRowOut row(status, master);
      Released<Firebird::IResultSet> cursor(attachment->openCursor(
          status, transaction.Get(), 0,
          "SELECT DOC_ID, WORD, CAST(POSITIONS AS VARCHAR(8000) CHARACTER SET ASCII) FROM FT_POSTING ORDER BY DOC_ID, PART",
          SQL_DIALECT_V6, nullptr, nullptr, row.getMetadata(), nullptr, 0));
      std::int32_t converted = 0;
      auto next = documents.begin();  // the next document to write
      std::map<std::string, std::vector<std::uint32_t>> words;
      // Writes the next document, with `words` when given.
      const auto write = [&](std::map<std::string, std::vector<std::uint32_t>>* withWords) {
        index::DocumentPostings postings;
        postings.length = next->second.second;
        if (withWords != nullptr) {
          for (auto& [word, positions] : *withWords) {
            std::sort(positions.begin(), positions.end());
            postings.terms.push_back({word, std::move(positions)});
          }
          withWords->clear();
        }
        call.Index().Import(next->first, next->second.first, postings);
        ++converted;
        ++next;
      };
      // Writes the documents below `document` that hold no word.
      const auto writeEmptyBelow = [&](std::int64_t document) {
        while (next != documents.end() && next->first < document) write(nullptr);
      };
      bool any = false;
      std::int64_t current = 0;
      while (cursor->fetchNext(status, row.getData()) == Firebird::IStatus::RESULT_OK) {
        if (!any || row->document != current) {
          if (any) write(&words);
          writeEmptyBelow(row->document);
          if (next == documents.end() || next->first != row->document) {
            throw RoutineError("FT_POSTING holds document " + std::to_string(row->document) + ", which FT_DOCUMENT lacks");
          }
          current = row->document;
          any = true;
        }
        const std::string word(row->word.str, row->word.length);
        ParsePositions(current, word, std::string_view(row->positions.str, row->positions.length), words[word]);
      }
      if (any) write(&words);
      writeEmptyBelow(std::numeric_limits<std::int64_t>::max());
      while (next != documents.end()) write(nullptr);
      auto* out = static_cast<unsigned char*>(outMessage);
      SetNotNull(out, converted_.nullOffset);
      PutInteger(out, converted_, converted);
      return nullptr;
    });
  }

 private:
  std::string declarationProblem_;
  IntegerField converted_;
  IndexSession session_;
};

Firebird::Udr::ProcedureFactoryImpl<ConvertProcedure, Status> convertFactory("ft_convert_rows");

}  // namespace
}  // namespace vexa::udr

// A search-box query from arbitrary bytes: read into a plan, used for a
// snippet, and searched for in a small index built once, in memory. The
// input is carved into fields (input_fields.h):
//   options  its first byte, less '0': the snippet's word count (0 for the
//            default), its second the most characters (past 7; none for
//            the default); 'u' anywhere: the text is UTF-8;
//   query    searched for, and read for the snippet;
//   text     the rest: the snippet's text (a sample when empty).
// Whatever the query, the plan must hold only groups with an item to find,
// each item the term it names, words of at most 31 bytes; a snippet of UTF-8
// text must keep it UTF-8 and no longer than allowed; a search must give at
// most the hits asked for, best first, of documents the index holds, and
// the best of many hits must be the hits of a search for a few.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "index/fulltext_index.h"
#include "index/query_plan.h"
#include "index/snippet.h"
#include "input_fields.h"
#include "tests/unit/index/memory_database.h"
#include "tests/unit/index/test_analyzers.h"

namespace {

using vexa::index::DocumentId;
using vexa::index::Hit;

void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "query_parser_fuzzer: %s\n", what);
    std::abort();
  }
}

constexpr std::string_view kSample =
    "The quick brown fox jumps over the lazy dog; TCP/IP and C++ (alpha-beta) "
    "\xD1\xFA\xE5\xF8\xFC \xE6\xE5 \xE5\xF9\xB8 \xFD\xF2\xE8\xF5 \xEC\xFF\xE3\xEA\xE8\xF5 caf\xC3\xA9 na\xC3\xAFve";

// Forty documents over a small vocabulary, in segments on two levels and in
// change rows not yet flushed, searched by one READ COMMITTED transaction
// with the pages kept in memory.
class SmallIndex {
 public:
  SmallIndex() {
    const std::vector<std::string> vocabulary = {
        "alpha", "beta", "gamma", "delta", "alphabet", "alpine", "fox", "dog", "lazy", "quick", "the", "of",
        "TCP/IP", "C++", "\xEC\xE8\xF0", "\xEC\xE8\xF0\xED\xFB\xE9", "\xB8\xEB\xEA\xE8", "caf\xC3\xA9", "x1", "2024"};
    vexa::index::MaintenanceOptions options;
    options.pageSize = 256;
    options.mergeFactor = 3;
    for (DocumentId id = 1; id <= 40; ++id) {
      auto writer = database_.Begin();
      std::string text;
      for (std::size_t w = 0; w < static_cast<std::size_t>(id % 9 + 2); ++w) {
        text += vocabulary[(static_cast<std::size_t>(id) * 7 + w * w * 3) % vocabulary.size()] + " ";
      }
      vexa::index::FulltextIndex(*writer, analyzer_, nullptr, options).Index(id, text);
      if (id % 10 == 0) vexa::index::FulltextIndex(*writer, analyzer_, nullptr, options).Remove(id - 3);
      writer->Commit();
      if (id % 8 == 0) {
        auto maintainer = database_.Begin();
        vexa::index::FulltextIndex(*maintainer, analyzer_, nullptr, options).Maintain(false);
        maintainer->Commit();
      }
      if (id % 10 != 7) ids_.insert(id);
    }
    reader_ = database_.Begin();
    index_ = std::make_unique<vexa::index::FulltextIndex>(*reader_, analyzer_, &cache_, options);
  }

  const vexa::index::TextAnalyzer& Analyzer() const { return analyzer_; }
  vexa::index::FulltextIndex& Index() { return *index_; }
  bool Holds(DocumentId id) const { return ids_.count(id) != 0; }

 private:
  vexa::index::testing::TestAnalyzer analyzer_;
  vexa::index::testing::MemoryDatabase database_;
  std::unique_ptr<vexa::index::testing::MemoryTransaction> reader_;
  vexa::index::PageCache cache_{1 << 20};
  std::unique_ptr<vexa::index::FulltextIndex> index_;
  std::set<DocumentId> ids_;
};

void CheckPlan(const vexa::index::QueryPlan& plan) {
  for (const auto& group : plan.groups) {
    bool finds = false;
    for (const vexa::index::QueryItem& item : group) {
      finds = finds || !item.negated;
      Require(item.term >= 1 && static_cast<std::size_t>(item.term) <= plan.terms.size(), "an item names no term");
      const vexa::index::QueryTerm& term = plan.terms[static_cast<std::size_t>(item.term - 1)];
      Require(term.kind == item.kind && term.words == item.words, "an item differs from its term");
      Require(!item.words.empty(), "an item without words");
      for (const std::string& word : item.words) {
        Require(!word.empty() && word.size() <= vexa::index::kMaxTermBytes, "a word is empty or too long");
      }
    }
    Require(finds, "a group has nothing to find");
  }
}

// Hits best first, ties by id, of documents the index holds.
void CheckHits(const SmallIndex& index, const std::vector<Hit>& hits, std::size_t limit) {
  Require(hits.size() <= limit, "more hits than asked for");
  for (std::size_t i = 0; i < hits.size(); ++i) {
    Require(index.Holds(hits[i].id), "a hit of a document the index does not hold");
    Require(std::isfinite(hits[i].score) && hits[i].score > 0, "a hit's score is not positive");
    if (i > 0) {
      const Hit& before = hits[i - 1];
      Require(before.score > hits[i].score || (before.score == hits[i].score && before.id < hits[i].id),
              "hits out of order");
    }
  }
}

// Whole UTF-8 sequences only (their values are not checked).
bool IsWholeUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

std::size_t Utf8Characters(std::string_view text) {
  std::size_t count = 0;
  for (const char byte : text) count += (static_cast<unsigned char>(byte) & 0xC0) != 0x80 ? 1 : 0;
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static SmallIndex index;
  vexa::fuzz::InputFields fields(data, size);
  const std::string_view optionText = fields.Next();
  const std::string query(fields.Next());
  const std::string_view text = fields.Rest().empty() ? kSample : fields.Rest();

  CheckPlan(vexa::index::ParseQuery(query, index.Analyzer()));

  vexa::index::SnippetOptions options;
  if (!optionText.empty()) options.maxWords = static_cast<unsigned char>(optionText[0]) - '0';
  if (optionText.size() > 1) options.maxCharacters = 7 + static_cast<unsigned char>(optionText[1]);
  if (optionText.find('u') != std::string_view::npos) options.encoding = vexa::TextEncoding::kUtf8;
  const std::string snippet = vexa::index::Snippet(text, query, index.Analyzer(), options);
  if (options.encoding == vexa::TextEncoding::kSingleByte) {
    Require(snippet.size() <= options.maxCharacters, "a snippet over its most characters");
  } else if (IsWholeUtf8(text)) {
    Require(IsWholeUtf8(snippet), "a snippet of UTF-8 text is not UTF-8");
    Require(Utf8Characters(snippet) <= options.maxCharacters, "a snippet over its most characters");
  }

  const std::vector<Hit> many = index.Index().Search(query, 1000);
  CheckHits(index, many, 1000);
  const std::vector<Hit> few = index.Index().Search(query, 3);
  CheckHits(index, few, 3);
  Require(few.size() == std::min<std::size_t>(3, many.size()), "a search for a few finds fewer");
  for (std::size_t i = 0; i < few.size(); ++i) {
    Require(few[i].id == many[i].id && few[i].score == many[i].score, "the best of many differ from a few");
  }
  CheckHits(index, index.Index().SearchPhrase(query, 5), 5);
  CheckHits(index, index.Index().SearchPrefix(query, 5), 5);
  CheckHits(index, index.Index().SearchSound(query, 5), 5);
  return 0;
}

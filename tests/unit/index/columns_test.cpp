// Indexes over several columns: positions that carry the column (a
// one-column document stored as it always was), column search in the query
// language, column weights ranked as FTS5's bm25() weighs them, and
// snippets and highlights of one column.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "index/document_postings.h"
#include "index/fulltext_index.h"
#include "index/query_plan.h"
#include "index/snippet.h"
#include "memory_database.h"
#include "test_analyzers.h"

namespace vexa::index::testing {
namespace {

struct Row {
  DocumentId id;
  std::optional<std::string> title;
  std::optional<std::string> body;
};

// Doc 4 holds LAZY at the end of its title and DOG at the start of its body.
const std::vector<Row> kRows = {
    {1, "Lazy dog", "The quick brown fox jumps"},
    {2, "Quick fox", "a lazy dog sleeps, the lazy dog dreams"},
    {3, "Brown fox", std::nullopt},
    {4, "sleepy lazy", "dog days of summer fox"},
    {5, std::nullopt, "quiet quilt dog"},
};

IndexColumns Columns(double titleWeight, double bodyWeight) {
  return {{"TITLE", titleWeight}, {"Body", bodyWeight}};
}

ColumnTexts Texts(const Row& row) {
  ColumnTexts texts;
  texts.push_back(row.title ? std::optional<std::string_view>(*row.title) : std::nullopt);
  texts.push_back(row.body ? std::optional<std::string_view>(*row.body) : std::nullopt);
  return texts;
}

// An index of the rows in a database of its own; flushed into a segment
// when `flush`.
class ColumnIndex {
 public:
  ColumnIndex(const TextAnalyzer& analyzer, IndexColumns columns, bool flush) : analyzer_(analyzer), columns_(columns) {
    auto writer = database_.Begin();
    FulltextIndex index(*writer, analyzer, nullptr, MaintenanceOptions(), columns);
    for (const Row& row : kRows) index.Index(row.id, Texts(row));
    writer->Commit();
    if (flush) {
      auto maintainer = database_.Begin();
      FulltextIndex(*maintainer, analyzer, nullptr, MaintenanceOptions(), columns).Maintain(true);
      maintainer->Commit();
    }
  }

  std::vector<Hit> Search(std::string_view query) {
    auto reader = database_.Begin();
    return FulltextIndex(*reader, analyzer_, nullptr, MaintenanceOptions(), columns_).Search(query, 100);
  }

  std::set<DocumentId> Found(std::string_view query) {
    std::set<DocumentId> ids;
    for (const Hit& hit : Search(query)) ids.insert(hit.id);
    return ids;
  }

 private:
  const TextAnalyzer& analyzer_;
  IndexColumns columns_;
  MemoryDatabase database_;
};

TEST(Columns, OneColumnIsStoredAsBefore) {
  const TestAnalyzer analyzer;
  const std::string text = "The quick brown fox jumps over the lazy dog, quick as a fox";
  const AnalyzedDocument before = AnalyzeDocument(analyzer, text);
  for (const IndexColumns& columns : {IndexColumns(), IndexColumns{{"BODY", 2.5}}}) {
    const AnalyzedDocument now = AnalyzeDocument(analyzer, ColumnTexts{std::string_view(text)}, columns);
    EXPECT_EQ(now.crc, before.crc);
    EXPECT_EQ(EncodeDocumentPostings(now.postings), EncodeDocumentPostings(before.postings));
  }
  EXPECT_EQ(AnalyzeDocument(analyzer, ColumnTexts{std::nullopt}, {}).crc, AnalyzeDocument(analyzer, "").crc);
}

TEST(Columns, PositionsCarryTheColumnAndTheCrcEveryColumn) {
  const TestAnalyzer analyzer;
  const IndexColumns columns = Columns(1, 1);
  const AnalyzedDocument document =
      AnalyzeDocument(analyzer, ColumnTexts{std::string_view("lazy dog"), std::string_view("dog days dog")}, columns);
  EXPECT_EQ(document.postings.length, 5u);
  std::map<std::string, std::vector<std::uint32_t>> positions;
  for (const TermPositions& term : document.postings.terms) positions[term.term] = term.positions;
  const std::uint32_t column1 = 1u << 24;
  EXPECT_EQ(positions["LAZY"], (std::vector<std::uint32_t>{0}));
  EXPECT_EQ(positions["DOG"], (std::vector<std::uint32_t>{1, column1, column1 + 2}));
  EXPECT_EQ(positions["DAYS"], (std::vector<std::uint32_t>{column1 + 1}));
  // The encoded postings read back, their positions past the length allowed.
  const std::string encoded = EncodeDocumentPostings(document.postings);
  const PostingsView view = ReadDocumentPostings(encoded);
  std::vector<std::uint32_t> decoded;
  DecodePositions(view.terms[1].positions, view.terms[1].frequency, view.length, decoded);
  EXPECT_EQ(decoded, positions["DOG"]);

  // Any change to a column, or a word moved to another, changes the CRC.
  const auto crc = [&](std::optional<std::string_view> title, std::optional<std::string_view> body) {
    return AnalyzeDocument(analyzer, ColumnTexts{title, body}, columns).crc;
  };
  const std::set<std::int32_t> crcs = {crc("lazy dog", "days"), crc("lazy", "dog days"), crc("lazy dog days", ""),
                                       crc(std::nullopt, "lazy dog days"), crc("lazy dog", "daze"),
                                       crc("days", "lazy dog")};
  EXPECT_EQ(crcs.size(), 6u);
  EXPECT_EQ(crc("lazy dog", std::nullopt), crc("lazy dog", ""));  // NULL holds no words
  EXPECT_THROW(AnalyzeDocument(analyzer, ColumnTexts{std::string_view("dog")}, columns), std::invalid_argument);
}

// Makes `count` words of any text, cheaply.
class ManyWords : public TextAnalyzer {
 public:
  explicit ManyWords(std::size_t count) : count_(count) {}
  std::int32_t DocumentWords(std::string_view, const std::function<void(std::string_view)>& word) const override {
    for (std::size_t i = 0; i < count_; ++i) word("W");
    return 7;
  }
  std::vector<std::string> PrefixWords(std::string_view) const override { return {}; }
  std::int32_t SoundCode(std::string_view) const override { return 0; }

 private:
  std::size_t count_;
};

TEST(Columns, AColumnOf2To24WordsIsAnError) {
  const ManyWords many(std::size_t{1} << 24);
  try {
    AnalyzeDocument(many, ColumnTexts{std::nullopt, std::string_view("x")}, Columns(1, 1));
    FAIL() << "no error";
  } catch (const std::length_error& error) {
    EXPECT_NE(std::string(error.what()).find("Body"), std::string::npos) << error.what();
  }
}

TEST(Columns, QueriesFindTermsInTheirColumn) {
  const TestAnalyzer analyzer;
  const IndexColumns columns = Columns(3, 1);
  const QueryPlan plan = ParseQuery("title:dog dog -BODY:\"lazy dog\" Title:qu* c:fox", analyzer, columns);
  ASSERT_EQ(plan.groups.size(), 1u);
  std::vector<std::string> shown;
  for (const QueryItem& item : plan.groups[0]) shown.push_back(ItemKindName(item) + " " + std::to_string(item.term));
  EXPECT_EQ(shown, (std::vector<std::string>{"TITLE:word 1", "word 2", "Body:phrase 3", "TITLE:prefix 4", "word 5"}));
  // Without columns a colon is read as before.
  EXPECT_EQ(ParseQuery("title:dog", analyzer).terms.size(), 2u);
  EXPECT_EQ(ParseQuery("title: dog", analyzer, columns).groups[0][0].column, -1);

  struct Case {
    std::string query;
    std::set<DocumentId> found;
  };
  const std::vector<Case> cases = {
      {"dog", {1, 2, 4, 5}},
      {"title:dog", {1}},
      {"TITLE:DOG", {1}},
      {"body:dog", {2, 4, 5}},
      {"fox -title:fox", {1, 4}},
      {"dog -body:dog", {1}},
      {"title:\"lazy dog\"", {1}},
      {"body:\"lazy dog\"", {2}},
      {"\"lazy dog\"", {1, 2}},  // not 4: LAZY ends its title, DOG starts its body
      {"\"dog days\"", {4}},
      {"title:qui*", {2}},
      {"body:qui*", {1, 5}},
      {"qui*", {1, 2, 5}},
      {"title:summer", {}},
      {"c:fox", {1, 2, 3, 4}},        // C is no column: the words of "c:fox"
      {"nosuch:fox", {}},             // NOSUCH and FOX
      {"title:brown OR body:fox", {1, 3, 4}},
  };
  for (const bool flush : {false, true}) {
    ColumnIndex index(analyzer, columns, flush);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.query + (flush ? " in a segment" : " in change rows"));
      EXPECT_EQ(index.Found(c.query), c.found);
    }
  }
}

// FTS5's bm25() with column weights, worked out from the rows' words.
std::map<DocumentId, double> Fts5Scores(const TextAnalyzer& analyzer, const IndexColumns& columns,
                                        const std::vector<std::pair<std::string, int>>& terms) {
  struct Document {
    std::vector<std::vector<std::string>> words;  // per column
    double length = 0;
  };
  std::map<DocumentId, Document> documents;
  double total = 0;
  for (const Row& row : kRows) {
    Document& document = documents[row.id];
    for (const auto& text : {row.title, row.body}) {
      document.words.push_back(text ? analyzer.Words(*text) : std::vector<std::string>());
      document.length += static_cast<double>(document.words.back().size());
    }
    total += document.length;
  }
  const double n = static_cast<double>(documents.size());
  const double average = total / n;
  std::map<DocumentId, double> scores;
  for (const auto& [word, column] : terms) {
    std::map<DocumentId, double> tf;
    for (const auto& [id, document] : documents) {
      for (std::size_t c = 0; c < document.words.size(); ++c) {
        if (column >= 0 && static_cast<std::size_t>(column) != c) continue;
        const auto hits = std::count(document.words[c].begin(), document.words[c].end(), word);
        if (hits > 0) tf[id] += columns[c].weight * static_cast<double>(hits);
      }
    }
    const double df = static_cast<double>(tf.size());
    const double idf = std::log(1 + (n - df + 0.5) / (df + 0.5));
    for (const auto& [id, f] : tf) {
      scores[id] += idf * f * 2.2 / (f + 1.2 * (1 - 0.75 + 0.75 * documents[id].length / average));
    }
  }
  return scores;
}

TEST(Columns, WeightsRankAsFts5Bm25) {
  const TestAnalyzer analyzer;
  const IndexColumns columns = Columns(3, 0.5);
  struct Case {
    std::string query;
    std::vector<std::pair<std::string, int>> terms;  // word, column (-1: any)
    std::set<DocumentId> found;
  };
  const std::vector<Case> cases = {
      {"dog", {{"DOG", -1}}, {1, 2, 4, 5}},
      {"lazy dog", {{"LAZY", -1}, {"DOG", -1}}, {1, 2, 4}},
      {"title:fox", {{"FOX", 0}}, {2, 3}},
      {"fox OR body:lazy", {{"FOX", -1}, {"LAZY", 1}}, {1, 2, 3, 4}},
  };
  for (const bool flush : {false, true}) {
    ColumnIndex index(analyzer, columns, flush);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.query);
      const std::map<DocumentId, double> expected = Fts5Scores(analyzer, columns, c.terms);
      const std::vector<Hit> hits = index.Search(c.query);
      EXPECT_EQ(index.Found(c.query), c.found);
      for (const Hit& hit : hits) EXPECT_NEAR(hit.score, expected.at(hit.id), 1e-9) << hit.id;
    }
  }
}

TEST(Columns, UnitWeightsRankAsOneColumn) {
  const TestAnalyzer analyzer;
  ColumnIndex columns(analyzer, Columns(1, 1), false);
  MemoryDatabase database;
  auto writer = database.Begin();
  FulltextIndex plain(*writer, analyzer, nullptr);
  for (const Row& row : kRows) plain.Index(row.id, row.title.value_or("") + " " + row.body.value_or(""));
  for (const std::string query : {"dog", "lazy dog", "fox -brown", "qui* OR sleepy", "\"quick fox\""}) {
    SCOPED_TRACE(query);
    const std::vector<Hit> expected = plain.Search(query, 100);
    const std::vector<Hit> hits = columns.Search(query);
    ASSERT_EQ(hits.size(), expected.size());
    for (std::size_t i = 0; i < hits.size(); ++i) {
      EXPECT_EQ(hits[i].id, expected[i].id);
      EXPECT_EQ(hits[i].score, expected[i].score);
    }
  }
}

TEST(Columns, SnippetsAndHighlightsOfAColumn) {
  const TestAnalyzer analyzer;
  SnippetOptions title;
  title.columns = Columns(3, 1);
  title.column = "title";
  SnippetOptions body = title;
  body.column = "BODY";
  SnippetOptions html;
  html.escapeHtml = true;
  html.ellipsis = "&hellip;";
  html.maxWords = 4;
  struct Case {
    std::string text;
    std::string query;
    SnippetOptions options;
    std::string snippet;
    std::string highlight;
  };
  const std::vector<Case> cases = {
      {"Lazy dog and fox", "title:dog body:fox lazy", title, "<b>Lazy</b> <b>dog</b> and fox",
       "<b>Lazy</b> <b>dog</b> and fox"},
      {"Lazy dog and fox", "title:dog body:fox lazy", body, "<b>Lazy</b> dog and <b>fox</b>",
       "<b>Lazy</b> dog and <b>fox</b>"},
      {"Lazy dog and fox", "title:dog body:fox", {}, "Lazy <b>dog</b> and <b>fox</b>",
       "Lazy <b>dog</b> and <b>fox</b>"},
      {"a <lazy> dog & \"fox\" x y z", "lazy", html, "&hellip;&lt;<b>lazy</b>&gt; dog &amp; &quot;fox&quot;&hellip;",
       "a &lt;<b>lazy</b>&gt; dog &amp; &quot;fox&quot; x y z"},
      {"dog lazy,\n  lazy dog; dog", "\"lazy dog\"", {}, "dog lazy, <b>lazy</b> <b>dog</b>; dog",
       "dog lazy,\n  <b>lazy</b> <b>dog</b>; dog"},
      {"lazy dog lazy", "\"lazy dog\" lazy", {}, "<b>lazy</b> <b>dog</b> <b>lazy</b>",
       "<b>lazy</b> <b>dog</b> <b>lazy</b>"},
      {"", "dog", {}, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query + " in " + c.text);
    EXPECT_EQ(Snippet(c.text, c.query, analyzer, c.options), c.snippet);
    EXPECT_EQ(Highlight(c.text, c.query, analyzer, c.options), c.highlight);
  }
}

}  // namespace
}  // namespace vexa::index::testing

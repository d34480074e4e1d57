// A substring index (analyzer trigram) gives exactly the rows the engine's
// own CONTAINING, STARTING WITH and LIKE give, in a WIN1251 and in a UTF8
// database: for patterns cut from fortunes in Russian and English (one to
// thirty characters, at word starts and inside words, as cut, upper- and
// lower-cased, with wildcards and escapes), over the committed rows and over
// a transaction's own inserts, updates and deletes, before and after a
// rollback.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>
#include <string>
#include <vector>

#include "firebird_error.h"
#include "firebird_server.h"
#include "fulltext_database.h"
#include "test_configurations.h"

namespace vexa::firebird {
namespace {

using Ids = std::vector<std::int64_t>;

// Up to `count` fortunes of the files in `directory` (fortune's format: a
// line of % between them), in file order.
std::vector<std::string> Fortunes(const std::filesystem::path& directory, std::size_t count) {
  std::vector<std::filesystem::path> files;
  if (!std::filesystem::is_directory(directory)) return {};
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    if (entry.is_regular_file() && entry.path().extension() != ".dat" && entry.path().extension() != ".u8") {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  std::vector<std::string> fortunes;
  for (const auto& file : files) {
    std::ifstream in(file);
    std::string line, fortune;
    while (std::getline(in, line) && fortunes.size() < count) {
      if (line == "%") {
        if (!fortune.empty()) fortunes.push_back(fortune);
        fortune.clear();
      } else {
        fortune += (fortune.empty() ? "" : "\n") + line;
      }
    }
  }
  return fortunes;
}

// The characters' starts in UTF-8 `text`.
std::vector<std::size_t> CharacterStarts(const std::string& text) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
  }
  return starts;
}

std::string Escaped(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    if (c == '%' || c == '_' || c == '\\') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

// The table the tests index, and a substring index SUB over it.
constexpr const char* kTable =
    "CREATE TABLE DOCS (ID INTEGER NOT NULL PRIMARY KEY, TITLE VARCHAR(300), BODY BLOB SUB_TYPE TEXT)";
std::string CreateIndex(const std::string& analyzer = "trigram") {
  return "EXECUTE PROCEDURE FT_CREATE_INDEX('SUB', 'DOCS', 'ID', 'TITLE, BODY', '" + analyzer + "')";
}
const std::string kIndex = CreateIndex();

// Fortunes in Russian and English, or none when the packages are missing.
std::vector<std::string> Texts() {
  std::vector<std::string> texts = Fortunes("/usr/share/games/fortunes/ru", 150);
  const std::vector<std::string> english = Fortunes("/usr/share/games/fortunes", 150);
  if (texts.empty() || english.empty()) return {};
  texts.insert(texts.end(), english.begin(), english.end());
  return texts;
}

// Stores `text` as row `id`, titled by its first line.
void Put(Connection& connection, Transaction& transaction, std::int64_t id, const std::string& text) {
  std::size_t cut = std::min<std::size_t>(text.find('\n'), 120);
  while (cut < text.size() && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  connection.Run(transaction, "UPDATE OR INSERT INTO DOCS (ID, TITLE, BODY) VALUES (?, ?, ?)",
                 {id, text.substr(0, cut), BlobText{text}});
}

// Patterns cut from the texts, each also as the engine upper- or
// lower-cases it.
std::vector<std::string> Patterns(Connection& connection, const std::vector<std::string>& texts, std::size_t cuts) {
  std::mt19937 random(20261210);
  std::vector<std::string> patterns{"", " ", "а", "e"};
  for (std::size_t i = 0; i < cuts; ++i) {
    const std::string& text = texts[random() % texts.size()];
    const std::vector<std::size_t> starts = CharacterStarts(text);
    std::size_t first = random() % starts.size();
    if (i % 2 == 0) {  // at a word's start
      while (first > 0 && text[starts[first] - 1] != ' ') --first;
    }
    const std::size_t last = std::min<std::size_t>(first + 1 + random() % 30, starts.size());
    const std::size_t end = last == starts.size() ? text.size() : starts[last];
    const std::string cut = text.substr(starts[first], end - starts[first]);
    const Row cased = connection.RunCommitted(
        "SELECT UPPER(CAST(? AS VARCHAR(200) CHARACTER SET UTF8)), LOWER(CAST(? AS VARCHAR(200) CHARACTER SET UTF8)) "
        "FROM RDB$DATABASE",
        {cut, cut})[0];
    patterns.push_back(cut);
    patterns.push_back(AsText(cased[i % 2]));
  }
  return patterns;
}

Ids Keys(Connection& connection, Transaction& transaction, const std::string& sql,
         const std::vector<Parameter>& parameters) {
  Ids ids;
  for (const Row& row : connection.Run(transaction, sql, parameters)) ids.push_back(AsInteger(row[0]));
  std::sort(ids.begin(), ids.end());
  return ids;
}

// Every search of `pattern` against the predicate it stands for.
void ExpectSameRows(Connection& connection, Transaction& transaction, const std::string& pattern) {
  const std::string like = "%" + Escaped(pattern) + "%";
  const std::vector<std::size_t> starts = CharacterStarts(pattern);
  const std::string middle =
      starts.size() > 2 ? Escaped(pattern.substr(0, starts[1])) + "_" + Escaped(pattern.substr(starts[2])) + "%" : "_%";
  const struct {
    std::string index;
    std::string table;
    std::vector<Parameter> indexArguments;
    std::vector<Parameter> tableArguments;
  } searches[] = {
      {"FT_CONTAINING(?, 'SUB')", "TITLE CONTAINING ? OR BODY CONTAINING ?", {pattern}, {pattern, pattern}},
      {"FT_CONTAINING(?, 'SUB', 'body')", "BODY CONTAINING ?", {pattern}, {pattern}},
      {"FT_STARTING_WITH(?, 'SUB')", "TITLE STARTING WITH ? OR BODY STARTING WITH ?", {pattern}, {pattern, pattern}},
      {"FT_LIKE(?, 'SUB', 'TITLE', '\\')", "TITLE LIKE ? ESCAPE '\\'", {like}, {like}},
      {"FT_LIKE(?, 'SUB', NULL, '\\')", "TITLE LIKE ? ESCAPE '\\' OR BODY LIKE ? ESCAPE '\\'", {like + "."},
       {like + ".", like + "."}},
      {"FT_LIKE(?, 'SUB')", "TITLE LIKE ? OR BODY LIKE ?", {middle}, {middle, middle}},
      {"FT_LIKE(?, 'SUB')", "TITLE LIKE ? OR BODY LIKE ?", {pattern}, {pattern, pattern}},
  };
  for (const auto& search : searches) {
    EXPECT_EQ(Keys(connection, transaction, "SELECT DOC_ID FROM " + search.index, search.indexArguments),
              Keys(connection, transaction, "SELECT ID FROM DOCS WHERE " + search.table, search.tableArguments))
        << search.index << " of '" << std::get<std::string>(search.indexArguments[0]) << "'";
  }
}

// A database's character set and the index's analyzer.
struct Setup {
  const char* charset;
  const char* analyzer;
};

class SubstringIndex : public ::testing::TestWithParam<Setup> {
 protected:
  SubstringIndex()
      : database_(DemoConfiguration(), ServerMode::kClassic, "", {GetParam().charset, SegmentIndexScripts()}),
        connection_(database_.Connect("UTF8")) {
    connection_->RunCommitted(kTable);
  }

  // Stores the texts and indexes them.
  bool Load() {
    texts_ = Texts();
    if (texts_.empty()) return false;
    Transaction transaction(*connection_);
    for (std::size_t i = 0; i < texts_.size(); ++i) Put(*connection_, transaction, static_cast<std::int64_t>(i + 1), texts_[i]);
    if (std::string(GetParam().charset) == "UTF8") {
      const char* accented[] = {"Le café à côté de l'école, CAFÉ", "Über die Straße, STRASSE", "ǅemal i ǆungla, ǄEMAL",
                                "Σίσυφος, ΣΊΣΥΦΟΣ, σίσυφος", "Zażółć gęślą jaźń, ZAŻÓŁĆ"};
      for (std::size_t i = 0; i < std::size(accented); ++i) {
        texts_.emplace_back(accented[i]);
        Put(*connection_, transaction, static_cast<std::int64_t>(texts_.size()), texts_.back());
      }
    }
    transaction.Commit();
    connection_->RunCommitted(CreateIndex(GetParam().analyzer));
    return true;
  }

  Ids Found(Transaction& transaction, const std::string& sql, const std::vector<Parameter>& parameters = {}) {
    return Keys(*connection_, transaction, sql, parameters);
  }

  FulltextDatabase database_;
  std::unique_ptr<Connection> connection_;
  std::vector<std::string> texts_;
};

TEST_P(SubstringIndex, GivesTheRowsOfTheEnginesOwnPredicates) {
  if (!Load()) GTEST_SKIP() << "no fortunes in /usr/share/games/fortunes (packages fortunes-min, fortunes-ru)";
  std::vector<std::string> patterns = Patterns(*connection_, texts_, 60);
  if (std::string(GetParam().charset) == "UTF8") {
    for (const char* pattern : {"é", "É", "cafe", "ÉCOLE", "ß", "ss", "STRAßE", "ǅ", "ǆ", "ς", "ΣΊ", "ŻÓŁ", "żół"}) {
      patterns.emplace_back(pattern);
    }
  }
  {
    Transaction committed(*connection_);
    for (const std::string& pattern : patterns) ExpectSameRows(*connection_, committed, pattern);
  }
  // A transaction's own changes, then the same searches once they are gone.
  Transaction changing(*connection_);
  for (std::int64_t id = 1; id <= 20; ++id) {
    Put(*connection_, changing, id, texts_[texts_.size() - static_cast<std::size_t>(id)]);
  }
  connection_->Run(changing, "DELETE FROM DOCS WHERE ID BETWEEN 200 AND 220");
  for (std::int64_t id = 1000; id < 1010; ++id) Put(*connection_, changing, id, texts_[static_cast<std::size_t>(id - 1000) * 7]);
  for (std::size_t p = 0; p < patterns.size(); p += 3) ExpectSameRows(*connection_, changing, patterns[p]);
  changing.Rollback();
  // Committed changes, merged with the rest.
  {
    Transaction committed(*connection_);
    for (std::int64_t id = 21; id <= 40; ++id) Put(*connection_, committed, id, texts_[static_cast<std::size_t>(id) * 3]);
    committed.Commit();
  }
  connection_->RunCommitted("EXECUTE PROCEDURE FT_MAINTAIN('SUB')");
  Transaction after(*connection_);
  for (std::size_t p = 1; p < patterns.size(); p += 3) ExpectSameRows(*connection_, after, patterns[p]);
  EXPECT_EQ(Found(after, "SELECT COUNT(*) FROM FT_CHECK('SUB')"), (Ids{0}));
}

TEST_P(SubstringIndex, RefusesWhatIsNoPatternAndFindsNothingInNull) {
  connection_->RunCommitted("INSERT INTO DOCS VALUES (1, 'Abc 100%', 'x_y')");
  connection_->RunCommitted("INSERT INTO DOCS VALUES (2, NULL, NULL)");
  connection_->RunCommitted(CreateIndex(GetParam().analyzer));
  Transaction transaction(*connection_);
  const std::string huge(10 << 20, 'a');
  const struct {
    const char* sql;
    std::vector<Parameter> arguments;
    Ids found;
  } searches[] = {
      {"FT_CONTAINING(?, 'SUB')", {std::string()}, {1}},
      {"FT_CONTAINING(?, 'SUB')", {nullptr}, {}},
      {"FT_CONTAINING(?, 'SUB')", {BlobText{huge}}, {}},
      {"FT_LIKE(?, 'SUB')", {std::string("%%")}, {1}},
      {"FT_LIKE(?, 'SUB', 'BODY')", {std::string("___")}, {1}},
      {"FT_LIKE(?, 'SUB', NULL, '!')", {std::string("%0!%")}, {1}},
      {"FT_STARTING_WITH(?, 'SUB')", {std::string("ab")}, {}},
  };
  for (const auto& search : searches) {
    EXPECT_EQ(Found(transaction, std::string("SELECT DOC_ID FROM ") + search.sql, search.arguments), search.found)
        << search.sql;
  }
  const struct {
    const char* sql;
    const char* error;
  } refused[] = {
      {"SELECT DOC_ID FROM FT_LIKE('%a!b%', 'SUB', NULL, '!')", "escapes only %, _ and itself"},
      {"SELECT DOC_ID FROM FT_LIKE('%a!', 'SUB', NULL, '!')", "ends with its ESCAPE character"},
      {"SELECT DOC_ID FROM FT_CONTAINING('a', 'SUB', 'NOPE')", "has no column named NOPE"},
      {"SELECT DOC_ID FROM FT_SEARCH('abc', 10, 'SUB')", "is a substring index"},
      {"SELECT DOC_ID FROM FT_CONTAINING('a', 'DEFAULT')", "is not a substring index"},
  };
  try {
    Found(transaction, "SELECT DOC_ID FROM FT_CONTAINING(?, 'SUB')", {BlobText{"ab\xC3("}});
    ADD_FAILURE() << "a pattern that is not UTF-8: accepted";
  } catch (const FirebirdError& error) {
    const std::string message = error.what();  // the engine's own word, or the module's
    EXPECT_TRUE(message.find("Malformed string") != std::string::npos || message.find("byte 3 is not") != std::string::npos)
        << message;
  }
  for (const auto& search : refused) {
    try {
      connection_->Run(transaction, search.sql);
      ADD_FAILURE() << search.sql << ": accepted";
    } catch (const FirebirdError& error) {
      EXPECT_NE(std::string(error.what()).find(search.error), std::string::npos) << error.what();
    }
  }
}

TEST_P(SubstringIndex, RanksRowsBySimilarityAndMarksWhereThePatternStands) {
  const char* names[] = {"Johnson", "Jonson", "Johnston", "Smith", "Ёлка ЕЛКА ёлка"};
  for (std::int64_t id = 1; id <= 5; ++id) {
    connection_->RunCommitted("INSERT INTO DOCS (ID, TITLE) VALUES (?, ?)", {id, std::string(names[id - 1])});
  }
  connection_->RunCommitted(CreateIndex(GetParam().analyzer));
  Transaction transaction(*connection_);
  std::vector<std::pair<std::int64_t, double>> similar;
  for (const Row& row : connection_->Run(transaction, "SELECT DOC_ID, SIMILARITY FROM FT_SIMILAR('jonson', 3, 'SUB')")) {
    similar.emplace_back(AsInteger(row[0]), std::get<double>(row[1]));
  }
  ASSERT_EQ(similar.size(), 3u);
  EXPECT_EQ(similar[0], (std::pair<std::int64_t, double>{2, 1.0}));
  EXPECT_EQ(similar[1].first, 1) << "Johnson shares more of JONSON's trigrams than Johnston";
  EXPECT_EQ(similar[2].first, 3);
  EXPECT_GT(similar[1].second, similar[2].second);
  const Row marked = connection_->Run(
      transaction, "SELECT FT_HIGHLIGHT(TITLE, 'ёЛ', '[', ']', 'SUB', 'TITLE'), FT_HIGHLIGHT(TITLE, 'JOHN', '<', '>', 'SUB') "
                   "FROM DOCS WHERE ID = ?", {std::int64_t{5}})[0];
  EXPECT_EQ(AsText(marked[0]), "[Ёл]ка ЕЛКА [ёл]ка") << "Ё is not Е to CONTAINING";
  EXPECT_EQ(AsText(marked[1]), "Ёлка ЕЛКА ёлка");
}

INSTANTIATE_TEST_SUITE_P(Setups, SubstringIndex,
                         ::testing::Values(Setup{"UTF8", "trigram"}, Setup{"WIN1251", "trigram"},
                                           Setup{"UTF8", "trigram positions=keep"}),
                         [](const ::testing::TestParamInfo<Setup>& setup) {
                           return std::string(setup.param.charset) +
                                  (std::string(setup.param.analyzer).find("positions") != std::string::npos ? "_positions" : "");
                         });

// Through a server, connections that each change their own rows in SNAPSHOT
// transactions, committed or rolled back in turn, find in each what the
// engine's predicates find there: their own changes and what others
// committed before they started.
TEST(SubstringIndexServer, EachConnectionFindsWhatItsTransactionSees) {
  const std::vector<std::string> texts = Texts();
  if (texts.empty()) GTEST_SKIP() << "no fortunes in /usr/share/games/fortunes (packages fortunes-min, fortunes-ru)";
  ServedDatabase served(DemoConfiguration(), {"UTF8", SegmentIndexScripts()});
  {
    const std::unique_ptr<Connection> setup = served.Connect("UTF8");
    setup->RunCommitted(kTable);
    Transaction transaction(*setup);
    for (std::size_t i = 0; i < 90; ++i) Put(*setup, transaction, static_cast<std::int64_t>(i), texts[i * 3]);
    transaction.Commit();
    setup->RunCommitted(kIndex);
  }
  constexpr int kConnections = 3;
  std::vector<std::string> patterns;
  {
    const std::unique_ptr<Connection> cutter = served.Connect("UTF8");
    patterns = Patterns(*cutter, texts, 12);
  }
  const auto client = [&](int number) {
    const std::unique_ptr<Connection> connection = served.Connect("UTF8");
    for (int round = 0; round < 8; ++round) {
      Transaction transaction(*connection, Isolation::kSnapshot);
      // This connection's rows are those whose id leaves `number` over kConnections.
      const std::int64_t changed = round * kConnections + number;
      Put(*connection, transaction, changed, texts[static_cast<std::size_t>(changed * 5 + 1) % texts.size()]);
      Put(*connection, transaction, 1000 + changed, texts[static_cast<std::size_t>(changed * 7 + 2) % texts.size()]);
      connection->Run(transaction, "DELETE FROM DOCS WHERE ID = ?", {changed + 45});
      for (std::size_t p = static_cast<std::size_t>(round); p < patterns.size(); p += 8) {
        ExpectSameRows(*connection, transaction, patterns[p]);
      }
      round % 2 == 0 ? transaction.Commit() : transaction.Rollback();
    }
  };
  std::vector<std::thread> clients;
  for (int number = 0; number < kConnections; ++number) {
    clients.emplace_back([&, number] {
      try {
        client(number);
      } catch (const std::exception& error) {
        ADD_FAILURE() << "connection " << number << ": " << error.what();
      }
    });
  }
  for (std::thread& thread : clients) thread.join();
  const std::unique_ptr<Connection> checker = served.Connect("UTF8");
  Transaction transaction(*checker, Isolation::kSnapshot);
  for (const std::string& pattern : patterns) ExpectSameRows(*checker, transaction, pattern);
}

}  // namespace
}  // namespace vexa::firebird

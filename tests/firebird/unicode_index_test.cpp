// Indexes that record their analyzer: in a UTF8 database an index is a
// Unicode one unless told otherwise, and finds each language by its words
// however they are cased and accented; a WIN1251 database keeps the
// module's words; an analyzer is checked before anything is made, changed
// only by FT_REBUILD, and one the module cannot use is refused by name.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "firebird_error.h"
#include "fulltext_database.h"
#include "test_configurations.h"

namespace vexa::firebird {
namespace {

using Ids = std::vector<std::int64_t>;

class UnicodeIndex : public ::testing::Test {
 protected:
  explicit UnicodeIndex(const std::string& charset = "UTF8")
      : database_(DemoConfiguration(), ServerMode::kClassic, "", {charset, SegmentIndexScripts()}),
        connection_(database_.Connect(charset)) {
    connection_->RunCommitted(
        "CREATE TABLE ARTICLES (ID INTEGER NOT NULL PRIMARY KEY, TITLE VARCHAR(200), BODY BLOB SUB_TYPE TEXT)");
  }

  void Article(std::int64_t id, const std::string& title, const std::string& body) {
    connection_->RunCommitted("INSERT INTO ARTICLES (ID, TITLE, BODY) VALUES (?, ?, ?)", {id, title, BlobText{body}});
  }

  Ids Found(const std::string& query, const std::string& procedure = "FT_SEARCH") {
    Ids ids;
    for (const Row& row : connection_->RunCommitted("SELECT DOC_ID FROM " + procedure + "(?, 100, 'ART')", {query})) {
      ids.push_back(AsInteger(row[0]));
    }
    std::sort(ids.begin(), ids.end());
    return ids;
  }

  std::vector<std::string> Words(const std::string& text, const std::string& index) {
    std::vector<std::string> words;
    for (const Row& row : connection_->RunCommitted("SELECT WORD FROM FT_WORDS(?, 0, ?) ORDER BY POS", {text, index})) {
      words.push_back(AsText(row[0]));
    }
    return words;
  }

  // The first value of the first row, integers as their digits.
  std::string One(const std::string& sql, const std::vector<Parameter>& parameters = {}) {
    const Value value = connection_->RunCommitted(sql, parameters).at(0).at(0);
    if (IsNull(value)) return "NULL";
    if (std::holds_alternative<std::int64_t>(value)) return std::to_string(AsInteger(value));
    return AsText(value);
  }

  FulltextDatabase database_;
  std::unique_ptr<Connection> connection_;
};

TEST_F(UnicodeIndex, FindsEachLanguageByItsWords) {
  Article(1, "Über die Straße", "München und die Größe der Stadt");
  Article(2, "Привет", "Программисты пьют чай, а ёлки стоят");
  Article(3, "Café", "L'école est à côté du théâtre");
  Article(4, "Αθήνα", "Η πόλη της Αθηνάς");
  Article(5, "Zażółć", "gęślą jaźń, Łódź");
  Article(6, "東京", "東京都は日本の首都です");
  connection_->RunCommitted("EXECUTE PROCEDURE FT_CREATE_INDEX('ART', 'ARTICLES', 'ID', 'TITLE, BODY')");
  EXPECT_EQ(One("SELECT ANALYZER FROM FT_INDEXES WHERE INDEX_NAME = 'ART'"), "unicode/1");
  EXPECT_EQ(One("SELECT ANALYZER FROM FT_INDEXES WHERE INDEX_NAME = 'DEFAULT'"), "unicode/1");

  const struct {
    const char* query;
    Ids found;
  } searches[] = {
      {"STRASSE munchen", {1}}, {"größe", {1}},       {"программисты ЕЛКИ", {2}}, {"café", {3}},
      {"theatre", {3}},         {"αθηνα", {4}},        {"ΠΟΛΗ", {4}},             {"zazolc lodz", {5}},
      {"東京", {6}},            {"首都", {6}},         {"\"東京都\"", {6}},        {"strasse OR cafe", {1, 3}},
      {"прог*", {2}},           {"title:привет", {2}}, {"body:привет", {}},
  };
  for (const auto& search : searches) EXPECT_EQ(Found(search.query), search.found) << search.query;
  EXPECT_EQ(Found("Programmisty", "FT_SEARCH_SOUND"), (Ids{2})) << "sound search over transliterated Cyrillic";

  EXPECT_EQ(Words("Über die Straße München Größe", "ART"),
            (std::vector<std::string>{"uber", "die", "strasse", "munchen", "grosse"}));
  // The same words through a WIN1251 attachment: the module reads the text
  // as the database holds it, whatever the connection's character set.
  const std::string russian = "\xC5\xEB\xEA\xE8 \xC7\xC5\xCB\xB8\xCD\xDB\xC5";  // Елки ЗЕЛёНЫЕ in Windows-1251
  const auto win1251 = database_.Connect("WIN1251");
  std::vector<std::string> throughWin1251;
  for (const Row& row : win1251->RunCommitted("SELECT WORD FROM FT_WORDS(?, 0, 'ART') ORDER BY POS", {russian})) {
    throughWin1251.push_back(AsText(row[0]));
  }
  EXPECT_EQ(throughWin1251, (std::vector<std::string>{"\xE5\xEB\xEA\xE8", "\xE7\xE5\xEB\xE5\xED\xFB\xE5"}));
  EXPECT_EQ(Words("Елки ЗЕЛёНЫЕ", "ART"), (std::vector<std::string>{"елки", "зеленые"}));
  EXPECT_EQ(One("SELECT FT_CRC('Straße', 'ART') - FT_CRC('STRASSE', 'ART') FROM RDB$DATABASE"), "0");
  EXPECT_EQ(One("SELECT FT_SOUND_CODE('Ivanov', 'ART') - FT_SOUND_CODE('Иванов', 'ART') FROM RDB$DATABASE"), "0");
  EXPECT_EQ(One("SELECT FT_SNIPPET(BODY, 'программисты', '[', ']', 30, '...', 'ART') FROM ARTICLES WHERE ID = 2"),
            "[Программисты] пьют чай, а ёлки стоят");

  Article(7, "Trigger", "Straßenbahn in Zürich");  // indexed by the index's trigger
  EXPECT_EQ(Found("strassenbahn zurich"), (Ids{7}));
}

TEST_F(UnicodeIndex, AnAnalyzerIsCheckedFirstAndChangedOnlyByARebuild) {
  Article(1, "Häuser", "Die Häuser und das Haus");
  Article(2, "Café", "un café noir");
  for (const auto& refusal : std::vector<std::pair<std::string, std::string>>{
           {"icu", "there is no analyzer named 'icu'"},
           {"unicode stem=klingon", "Snowball has no stemmer named 'klingon'"},
           {"unicode stopwords=no_such_list.txt", "no_such_list.txt cannot be read"},
           {"unicode accents=maybe", "accents= is keep or remove"}}) {
    try {
      connection_->RunCommitted("EXECUTE PROCEDURE FT_CREATE_INDEX('ART', 'ARTICLES', 'ID', 'BODY', ?)",
                                {refusal.first});
      ADD_FAILURE() << refusal.first << ": accepted";
    } catch (const FirebirdError& error) {
      EXPECT_NE(std::string(error.what()).find(refusal.second), std::string::npos) << error.what();
    }
  }
  EXPECT_EQ(One("SELECT COUNT(*) FROM FT_INDEXES"), "1") << "nothing was made";
  EXPECT_EQ(One("SELECT COUNT(*) FROM RDB$TRIGGERS WHERE RDB$RELATION_NAME = 'ARTICLES'"), "0");

  connection_->RunCommitted("EXECUTE PROCEDURE FT_CREATE_INDEX('ART', 'ARTICLES', 'ID', 'BODY', 'Unicode  stem=german')");
  EXPECT_EQ(One("SELECT ANALYZER FROM FT_INDEXES WHERE INDEX_NAME = 'ART'"), "unicode/1 stem=german");
  EXPECT_EQ(Found("haus"), (Ids{1}));
  EXPECT_EQ(Found("cafe"), (Ids{2}));

  connection_->RunCommitted("SELECT COUNT(*) FROM FT_REBUILD('ART', 1, 'unicode accents=keep')");
  EXPECT_EQ(One("SELECT ANALYZER FROM FT_INDEXES WHERE INDEX_NAME = 'ART'"), "unicode/1 accents=keep");
  EXPECT_EQ(Found("café"), (Ids{2}));
  EXPECT_EQ(Found("cafe"), (Ids{})) << "accents kept";
  EXPECT_EQ(Found("haus"), (Ids{1})) << "the rebuilt index holds the new analyzer's words";
  EXPECT_EQ(Found("häuser"), (Ids{1}));
  EXPECT_EQ(One("SELECT COUNT(*) FROM FT_CHECK('ART') WHERE PROBLEM IS NOT NULL"), "0");

  connection_->RunCommitted("UPDATE FT_INDEXES SET ANALYZER = 'unicode/9' WHERE INDEX_NAME = 'ART'");
  try {
    Found("haus");
    ADD_FAILURE() << "an index of an analyzer version the module lacks was searched";
  } catch (const FirebirdError& error) {
    EXPECT_NE(std::string(error.what()).find("records the analyzer 'unicode/9', which this module cannot use"),
              std::string::npos)
        << error.what();
  }
}

// Bytes that are not UTF-8 never reach a Unicode index from a UTF8
// database: the engine refuses to convert them, and nothing is made; marks
// with no letter before them separate words.
TEST_F(UnicodeIndex, TextThatIsNotUtf8IsRefusedAndNothingIsMade) {
  connection_->RunCommitted("CREATE TABLE RAW (ID INTEGER NOT NULL PRIMARY KEY, BODY BLOB SUB_TYPE TEXT CHARACTER SET NONE)");
  connection_->RunCommitted(
      "INSERT INTO RAW VALUES (1, CAST(x'CC81CC81E4B8AD20CC8161' AS BLOB SUB_TYPE TEXT CHARACTER SET NONE))");
  connection_->RunCommitted("EXECUTE PROCEDURE FT_CREATE_INDEX('ART', 'RAW', 'ID', 'BODY')");
  EXPECT_EQ(Found("中"), (Ids{1}));
  EXPECT_EQ(Words("\xCC\x81\xCC\x81\xE4\xB8\xAD \xCC\x81" "a", "ART"), (std::vector<std::string>{"中", "a"}));
  try {
    connection_->RunCommitted(
        "INSERT INTO RAW VALUES (2, CAST(x'616263FF20646566' AS BLOB SUB_TYPE TEXT CHARACTER SET NONE))");
    ADD_FAILURE() << "bytes that are not UTF-8 were taken";
  } catch (const FirebirdError& error) {
    EXPECT_NE(std::string(error.what()).find("Malformed string"), std::string::npos) << error.what();
  }
  EXPECT_EQ(One("SELECT COUNT(*) FROM RAW"), "1") << "the row and its words went together";
  EXPECT_EQ(One("SELECT COUNT(*) FROM FT_DOCUMENTS('ART')"), "1");
}

// A WIN1251 database: indexes keep the module's own words, and a Unicode
// index made there reads its Windows-1251 texts as the same characters.
class Windows1251Database : public UnicodeIndex {
 protected:
  Windows1251Database() : UnicodeIndex("WIN1251") {}
};

TEST_F(Windows1251Database, KeepsTheModulesWordsAndReadsUnicodeIndexesAsCharacters) {
  const std::string russian = "\xCF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE8\xF1\xF2\xFB \xB8\xEB\xEA\xE8";  // Программисты ёлки
  Article(1, "Title", russian);
  connection_->RunCommitted("EXECUTE PROCEDURE FT_CREATE_INDEX('ART', 'ARTICLES', 'ID', 'BODY')");
  connection_->RunCommitted("EXECUTE PROCEDURE FT_CREATE_INDEX('UNI', 'ARTICLES', 'ID', 'BODY', 'unicode')");
  EXPECT_EQ(One("SELECT ANALYZER FROM FT_INDEXES WHERE INDEX_NAME = 'ART'"), "win1251/1");
  EXPECT_EQ(One("SELECT ANALYZER FROM FT_INDEXES WHERE INDEX_NAME = 'DEFAULT'"), "win1251/1");
  std::vector<std::string> module;
  for (const Row& row : connection_->RunCommitted("SELECT WORD FROM FT_WORDS(?) ORDER BY POS", {russian})) {
    module.push_back(AsText(row[0]));
  }
  EXPECT_EQ(Words(russian, "ART"), module) << "a win1251 index's words are the module's";
  EXPECT_EQ(Words(russian, "UNI"),
            (std::vector<std::string>{"\xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE8\xF1\xF2\xFB", "\xE5\xEB\xEA\xE8"}))
      << "программисты елки, handed back in the database's code page";
  const std::string upper = "\xCF\xD0\xCE\xC3\xD0\xC0\xCC\xCC\xC8\xD1\xD2\xDB";  // ПРОГРАММИСТЫ
  EXPECT_EQ(AsInteger(connection_->RunCommitted("SELECT DOC_ID FROM FT_SEARCH(?, 10, 'UNI')", {upper}).at(0).at(0)), 1);
  EXPECT_EQ(One("SELECT FT_SNIPPET(BODY, ?, '[', ']', 30, '...', 'UNI') FROM ARTICLES", {upper}),
            "[" + russian.substr(0, 12) + "]" + russian.substr(12));
}

}  // namespace
}  // namespace vexa::firebird

// The UDR module's FT_WORDS, FT_TERMS, FT_CRC and FT_SOUND_CODE, declared by
// sql/splitting_udr.sql, give the rows that the nine exports of Vexa.so
// give when PSQL calls them in the same database, with the same module
// configuration beside both. Also: cursors closed early give their parsers
// back, a UTF8 database gets whole characters, attachments in many threads
// get their own answers, and a declaration the module cannot serve is
// refused with a message.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "firebird_error.h"
#include "fulltext_database.h"
#include "sample_texts.h"
#include "test_configurations.h"
#include "support/windows1251_utf8.h"

namespace vexa::firebird {
namespace {

using vexa::support::Utf8ToWindows1251;

const DatabaseSetup kUdfAndUdr{"WIN1251", {"vexa_functions.sql", "splitting_udr.sql"}};

// The references: the exports called from PSQL as a UDF installation would.
constexpr const char* kExportWords =
    "EXECUTE BLOCK (TXT BLOB SUB_TYPE TEXT = ?, Q SMALLINT = ?) RETURNS (POS INTEGER, WORD VARCHAR(31)) AS "
    "DECLARE H INTEGER; DECLARE R INTEGER; "
    "BEGIN IF (Q = 1) THEN H = Parser_CreateQuery(); ELSE H = Parser_Create(); "
    "R = Parser_AddBlob(H, TXT); R = Parser_Reset(H); POS = 0; WORD = Parser_Next(H); "
    "WHILE (WORD <> '') DO BEGIN SUSPEND; POS = POS + 1; WORD = Parser_Next(H); END "
    "R = Parser_Free(H); END";
constexpr const char* kExportCrc =
    "EXECUTE BLOCK (TXT BLOB SUB_TYPE TEXT = ?) RETURNS (C INTEGER) AS DECLARE H INTEGER; DECLARE R INTEGER; "
    "BEGIN H = Parser_Create(); R = Parser_AddBlob(H, TXT); C = Parser_CRC(H); R = Parser_Free(H); SUSPEND; END";
constexpr const char* kSoundCodes =
    "SELECT FT_SOUND_CODE(CAST(? AS VARCHAR(255))), StrSoundEX(CAST(? AS VARCHAR(255))) FROM RDB$DATABASE";

using Rows = std::vector<Row>;

Rows Sorted(Rows rows) {
  std::sort(rows.begin(), rows.end());
  return rows;
}

// FT_TERMS' rows made from (POS, WORD) rows: positions joined by one space,
// a row of a word ending before its positions pass the 250 bytes that the
// portable index stores in a row.
Rows TermsOf(const Rows& words) {
  std::map<std::string, std::vector<std::int64_t>> positions;
  for (const Row& row : words) positions[AsText(row[1])].push_back(AsInteger(row[0]));
  Rows terms;
  for (const auto& [word, list] : positions) {
    std::string joined;
    std::int64_t part = 0, count = 0;
    for (std::size_t i = 0; i <= list.size(); ++i) {
      const std::string number = i < list.size() ? std::to_string(list[i]) : std::string();
      if (i == list.size() || joined.size() + 1 + number.size() > 250) {
        terms.push_back({word, part++, count, joined});
        joined.clear();
        count = 0;
      }
      if (i == list.size()) break;
      joined += (joined.empty() ? "" : " ") + number;
      ++count;
    }
  }
  return terms;
}

struct SampleText {
  const char* name;
  Parameter text;  // NULL or the bytes, in Windows-1251
};

std::string Repeated(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

std::vector<SampleText> SampleTexts() {
  return {
      {"empty", std::string()},
      {"null", nullptr},
      {"english", std::string("The quick-brown fox jumps over the lazy dog: BOOKS, books, TCP/IP, C++ and R&D. a I x")},
      {"cyrillic", Utf8ToWindows1251("Съешь же ещё этих мягких французских булок, да выпей чаю. ЁЖ ёж Ёлка")},
      {"long words", std::string(40, 'x') + " Supercalifragilisticexpialidocious_and_then_some " + std::string(31, 'Q')},
      {"text ends at a nul", std::string("before the nul\0after it", 23)},
      // 3000 positions of one word take some 14000 bytes: PART 1 follows.
      {"one word repeated", Repeated("word ", 3000) + "other words"},
      // Past a VARCHAR's length: BLOB only.
      {"long document", GeneratedDocument(7, 12000)},
  };
}

struct NamedConfiguration {
  const char* name;
  std::function<ModuleConfiguration()> files;
};

class UdrRoutines : public ::testing::TestWithParam<NamedConfiguration> {
 protected:
  Rows Words(const Parameter& text, int forQuery) {
    return connection_->RunCommitted("SELECT POS, WORD FROM FT_WORDS(?, ?)", {text, std::int64_t{forQuery}});
  }
  // The exports are always handed a BLOB, as the text reaches them.
  Rows ExportWords(const Parameter& text, int forQuery) {
    return connection_->RunCommitted(kExportWords, {AsBlob(text), std::int64_t{forQuery}});
  }
  static Parameter AsBlob(const Parameter& text) {
    if (const auto* bytes = std::get_if<std::string>(&text)) return BlobText{*bytes};
    return text;
  }

  const FulltextDatabase database_{GetParam().files(), ServerMode::kClassic, "", kUdfAndUdr};
  const std::unique_ptr<Connection> connection_ = database_.Connect();
};

TEST_P(UdrRoutines, SameRowsAsTheExports) {
  bool sawPartOne = false;
  for (const SampleText& sample : SampleTexts()) {
    const Rows exportWords = ExportWords(sample.text, 0);
    const Rows expectedTerms = Sorted(TermsOf(exportWords));
    const std::int64_t expectedCrc = AsInteger(connection_->RunCommitted(kExportCrc, {AsBlob(sample.text)}).at(0)[0]);
    sawPartOne |= std::any_of(expectedTerms.begin(), expectedTerms.end(),
                              [](const Row& row) { return AsInteger(row[1]) == 1; });

    std::vector<Parameter> intakes = {AsBlob(sample.text)};
    const auto* bytes = std::get_if<std::string>(&sample.text);
    if (bytes == nullptr || bytes->size() <= 32000) intakes.push_back(sample.text);  // as a string, converted
    for (const Parameter& text : intakes) {
      const std::string context =
          std::string(sample.name) + (std::holds_alternative<BlobText>(text) ? " as a BLOB" : " as a string");
      EXPECT_EQ(Words(text, 0), exportWords) << context;
      EXPECT_EQ(Words(text, 1), ExportWords(sample.text, 1)) << context;
      EXPECT_EQ(Sorted(connection_->RunCommitted("SELECT WORD, PART, FREQ, POSITIONS FROM FT_TERMS(?)", {text})),
                expectedTerms)
          << context;
      EXPECT_EQ(AsInteger(connection_->RunCommitted("SELECT FT_CRC(?) FROM RDB$DATABASE", {text}).at(0)[0]),
                expectedCrc)
          << context;
    }

    std::set<std::string> soundInputs = {"", "Robert", "Rupert", Utf8ToWindows1251("Рупор ёж"), std::string(255, 'z')};
    for (const Row& row : exportWords) {
      if (soundInputs.size() < 60) soundInputs.insert(AsText(row[1]));
    }
    for (const std::string& input : soundInputs) {
      const Row codes = connection_->RunCommitted(kSoundCodes, {input, input}).at(0);
      EXPECT_EQ(codes[0], codes[1]) << sample.name << ": " << input;
    }
  }
  const Row nullCodes = connection_->RunCommitted(kSoundCodes, {nullptr, nullptr}).at(0);
  EXPECT_EQ(nullCodes[0], nullCodes[1]) << "a NULL word";
  EXPECT_TRUE(sawPartOne) << "no sample text made a word's positions pass 8000 bytes";
}

INSTANTIATE_TEST_SUITE_P(Configurations, UdrRoutines,
                         ::testing::Values(NamedConfiguration{"none", BuiltInConfiguration},
                                           NamedConfiguration{"demo", DemoConfiguration},
                                           NamedConfiguration{"filter", FilterConfiguration}),
                         [](const auto& named) { return std::string(named.param.name); });

class UdrModule : public ::testing::Test {
 protected:
  const FulltextDatabase database_{BuiltInConfiguration(), ServerMode::kClassic, "", kUdfAndUdr};
  const std::unique_ptr<Connection> connection_ = database_.Connect();
};

TEST_F(UdrModule, CursorsClosedEarlyGiveTheirParsersBack) {
  // Far more early stops than the module has parsers: one kept by each
  // would leave none, and the last queries would fail.
  for (const char* procedure : {"FT_WORDS(:T)", "FT_TERMS(:T)"}) {
    const std::string stops =
        std::string("EXECUTE BLOCK RETURNS (N INTEGER) AS DECLARE I INTEGER = 0; DECLARE W VARCHAR(31); "
                    "DECLARE T BLOB SUB_TYPE TEXT = 'alpha beta gamma delta'; BEGIN "
                    "WHILE (I < 2000) DO BEGIN FOR SELECT WORD FROM ") +
        procedure + " INTO W DO LEAVE; I = I + 1; END N = I; SUSPEND; END";
    EXPECT_EQ(AsInteger(connection_->RunCommitted(stops).at(0)[0]), 2000) << procedure;
  }
  EXPECT_EQ(connection_->RunCommitted("SELECT COUNT(*) FROM FT_WORDS('one two three')").at(0)[0], Value(std::int64_t{3}));
}

TEST_F(UdrModule, AttachmentsInManyThreadsGetTheirOwnRows) {
  constexpr int kThreads = 6;
  constexpr int kRounds = 20;
  std::vector<std::string> texts;
  std::vector<Rows> expected;
  for (std::uint32_t seed = 0; seed < kThreads; ++seed) {
    texts.push_back(GeneratedDocument(seed, 400));
    expected.push_back(connection_->RunCommitted("SELECT POS, WORD FROM FT_WORDS(?)", {BlobText{texts.back()}}));
  }
  std::vector<std::string> failures(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      try {
        const auto connection = database_.Connect();
        for (int round = 0; round < kRounds; ++round) {
          const Parameter text = BlobText{texts[static_cast<std::size_t>(t)]};
          if (connection->RunCommitted("SELECT POS, WORD FROM FT_WORDS(?)", {text}) !=
              expected[static_cast<std::size_t>(t)]) {
            failures[static_cast<std::size_t>(t)] = "other words in round " + std::to_string(round);
            return;
          }
          connection->RunCommitted("SELECT FT_CRC(?) FROM FT_TERMS(?)", {text, text});
        }
      } catch (const std::exception& error) {
        failures[static_cast<std::size_t>(t)] = error.what();
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(failures[static_cast<std::size_t>(t)], "") << "thread " << t;
}

TEST_F(UdrModule, RefusesWhatItCannotServeWithAMessage) {
  struct Refusal {
    const char* sql;
    const char* message;
  };
  const Refusal refusals[] = {
      {"SELECT * FROM FT_WORDS('x', 3)", "FOR_QUERY must be 0"},
      {"SELECT * FROM BAD_WORDS('x')", "TXT must be declared BLOB"},
      {"SELECT BAD_CRC('x') FROM RDB$DATABASE", "MORE must be declared VARCHAR or CHAR"},
  };
  connection_->RunCommitted(
      "CREATE PROCEDURE BAD_WORDS (TXT VARCHAR(10), FOR_QUERY SMALLINT = 0) RETURNS (POS INTEGER, WORD VARCHAR(31)) "
      "EXTERNAL NAME 'vexa_udr!ft_words' ENGINE UDR");
  connection_->RunCommitted(
      "CREATE FUNCTION BAD_CRC (TXT BLOB SUB_TYPE TEXT, MORE INTEGER = 0) RETURNS INTEGER "
      "EXTERNAL NAME 'vexa_udr!ft_crc' ENGINE UDR");
  for (const Refusal& refusal : refusals) {
    Transaction transaction(*connection_);
    try {
      connection_->Run(transaction, refusal.sql);
      ADD_FAILURE() << refusal.sql << " ran";
    } catch (const FirebirdError& error) {
      EXPECT_NE(std::string(error.what()).find(refusal.message), std::string::npos) << error.what();
    }
    EXPECT_NO_THROW(transaction.Commit()) << "the refusal of " << refusal.sql << " left the transaction in use";
  }
  EXPECT_EQ(connection_->RunCommitted("SELECT COUNT(*) FROM FT_WORDS('still works')").at(0)[0], Value(std::int64_t{2}));
}

// Two-byte UTF-8 letters made word characters: a word of them cut at 31
// bytes would end in half a letter. These letters' bytes are left as they
// are by the module's upper-casing.
TEST(UdrUtf8Database, WordsCutAt31BytesStayWholeCharacters) {
  ModuleConfiguration files = {ExtraFile::Written("Vexa.ini", "[Main]\r\nMinWordLen=1\r\nWordSet=a..z\x80..\xFF\r\n")};
  const FulltextDatabase database(files, ServerMode::kClassic, "", {"UTF8", {"splitting_udr.sql"}});
  const auto connection = database.Connect("UTF8");
  const std::string letters = "абвежзйлнабвежзйлнаб";  // 20 letters, 40 bytes
  const Rows words = connection->RunCommitted("SELECT WORD FROM FT_WORDS(?)", {BlobText{letters + " x" + letters}});
  ASSERT_EQ(words.size(), 2u);
  EXPECT_EQ(AsText(words[0][0]), letters.substr(0, 30)) << "15 letters; the 16th would not fit whole";
  EXPECT_EQ(AsText(words[1][0]), "X" + letters.substr(0, 30)) << "31 bytes end on a letter's end";
  const Rows terms = connection->RunCommitted("SELECT WORD, POSITIONS FROM FT_TERMS(?)", {BlobText{letters + " " + letters}});
  ASSERT_EQ(terms.size(), 1u);
  EXPECT_EQ(terms[0], (Row{letters.substr(0, 30), std::string("0 1")}));
}

// A stored text is split as stored: a connection in another character set
// (which the engine would convert a BLOB to) changes nothing but how the
// words come back to it.
TEST(UdrStoredTexts, SplitAsStoredOverAnyConnection) {
  const FulltextDatabase database(CyrillicConfiguration(), ServerMode::kClassic, "", {"WIN1251", {"splitting_udr.sql"}});
  const std::string text = Utf8ToWindows1251("Главное различие между любовью за деньги");
  const auto windows = database.Connect("WIN1251");
  windows->RunCommitted("CREATE TABLE STORED (BODY BLOB SUB_TYPE TEXT)");
  windows->RunCommitted("INSERT INTO STORED (BODY) VALUES (?)", {BlobText{text}});
  const std::string words = "SELECT WORD FROM FT_WORDS((SELECT BODY FROM STORED))";
  const std::string crc = "SELECT FT_CRC(BODY) FROM STORED";
  const Rows expected = windows->RunCommitted(words);
  ASSERT_EQ(expected.size(), 5u);
  const auto utf8 = database.Connect("UTF8");
  const Rows overUtf8 = utf8->RunCommitted(words);
  ASSERT_EQ(overUtf8.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(Utf8ToWindows1251(AsText(overUtf8[i][0])), AsText(expected[i][0])) << i;
  }
  EXPECT_EQ(utf8->RunCommitted(crc), windows->RunCommitted(crc));
}

}  // namespace
}  // namespace vexa::firebird

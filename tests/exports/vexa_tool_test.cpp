// tools/vexa/vexa, run as a program on module directories of its own:
// what it shows of each piece of a text, that the words, CRC and codes it
// shows are the module's, and how it fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "support/host/temp_directory.h"
#include "system_names.h"
#include "vexa_runner.h"
#include "word_records.h"

namespace vexa::test {
namespace {

using OutputLines = std::vector<std::string>;
using Records = std::vector<std::vector<std::string>>;

std::string HexOf(const std::string& bytes) {
  static const char* const kDigits = "0123456789ABCDEF";
  std::string hex;
  for (const char c : bytes) {
    hex += kDigits[static_cast<unsigned char>(c) >> 4];
    hex += kDigits[static_cast<unsigned char>(c) & 15];
  }
  return hex;
}

// A text of `words` words and some Cyrillic, long words and line ends.
std::string LongText(int words) {
  std::string text;
  for (int i = 0; i < words; ++i) {
    text += "word" + std::to_string(i) + (i % 7 == 0 ? " \xC8\xE2\xE0\xED, " : " ");
    if (i % 100 == 0) text += std::string(static_cast<std::size_t>(40 + i / 100), 'x') + "\r\n";
  }
  return text;
}

ExtraFile Filter(const std::string& stem) {
  return ExtraFile::Copy(std::filesystem::path(TEST_FILTER_DIRECTORY) / ModuleFileName(stem), ModuleFileName(stem));
}

const std::string kStrip = ModuleFileName("strip_final_s_filter");
const std::string kDropNo = ModuleFileName("drop_no_filter");

// Cyrillic word characters, a minimum of 3, two filters, stop words (one of
// them, QWXTKFH, hashes to 0 and is never found) and tokens.
std::vector<ExtraFile> ConfiguredFiles() {
  return {ExtraFile::Written("Vexa.ini", "[Main]\nMinWordLen=3\nWordSet=A..Za..z0..9_\xA8\xB8\xC0..\xFF\n[Filters]\n" +
                                             kStrip + "=\n" + kDropNo + "=\n"),
          ExtraFile::Written("Vexa_skip.lst", "qwxtkfh\nthe\n\xE4\xEB\xFF\n"),  // для
          ExtraFile::Written("Vexa_tkn.lst", "r&d\nways\n"), Filter("strip_final_s_filter"), Filter("drop_no_filter")};
}

// The tab-separated fields of the records of `kind` that vexa explain --tsv printed.
Records RecordsOf(const std::string& output, const std::string& kind) {
  Records records;
  for (const std::string& line : Lines(output)) {
    std::vector<std::string> fields;
    std::istringstream stream(line);
    for (std::string field; std::getline(stream, field, '\t');) fields.push_back(field);
    if (!line.empty() && line.back() == '\t') fields.emplace_back();
    if (!fields.empty() && fields.front() == kind) records.push_back(fields);
  }
  return records;
}

struct PieceRow {
  std::string text, kind, list, fate, filters, stored;
};

// text, kind, list, fate, filters and stored word of each piece record.
std::vector<PieceRow> PieceRows(const Records& pieces) {
  std::vector<PieceRow> rows;
  for (const auto& f : pieces) rows.push_back({f.at(2), f.at(3), f.at(4), f.at(5), f.at(6), f.at(8)});
  return rows;
}

bool operator==(const PieceRow& a, const PieceRow& b) {
  return a.text == b.text && a.kind == b.kind && a.list == b.list && a.fate == b.fate && a.filters == b.filters &&
         a.stored == b.stored;
}

void PrintTo(const PieceRow& row, std::ostream* out) {
  *out << row.text << " | " << row.kind << " | " << row.list << " | " << row.fate << " | " << row.filters << " | "
       << row.stored;
}

std::string Filtered(const std::string& before, const std::string& middle, const std::string& after) {
  return kStrip + ":" + before + ">" + middle + ";" + kDropNo + ":" + middle + ">" + after;
}

const char* const kText = "The R&D books, nothing ab ways \xE4\xEB\xFF \xEA\xED\xE8\xE3\xE8 cats";  // для книги

TEST(VexaExplain, ShowsWhatBecameOfEachPieceAndAgreesWithTheExports) {
  const VexaRunner vexa(ConfiguredFiles());
  const std::string books = "\xCA\xCD\xC8\xC3\xC8";  // КНИГИ
  struct Case {
    const char* flag;
    std::vector<PieceRow> rows;
  };
  const std::vector<Case> cases{
      {"--query",
       {{"The", "word", "stop", "stored", "", "THE"},
        {"R&D", "token", "token", "stored", "", "R&D"},
        {"books", "word", "none", "stored", Filtered("BOOKS", "BOOK", "BOOK"), "BOOK"},
        {"nothing", "word", "none", "emptied", Filtered("NOTHING", "NOTHING", ""), ""},
        {"ab", "word", "none", "stored", Filtered("AB", "AB", "AB"), "AB"},
        {"ways", "word", "token", "stored", "", "WAYS"},
        {"\xE4\xEB\xFF", "word", "stop", "stored", "", "\xC4\xCB\xDF"},
        {"\xEA\xED\xE8\xE3\xE8", "word", "none", "stored", Filtered(books, books, books), books},
        {"cats", "word", "none", "stored", Filtered("CATS", "CAT", "CAT"), "CAT"}}},
      {"--tsv",  // a document parser
       {{"The", "word", "stop", "stop", "", ""},
        {"R&D", "token", "token", "stored", "", "R&D"},
        {"books", "word", "none", "stored", Filtered("BOOKS", "BOOK", "BOOK"), "BOOK"},
        {"nothing", "word", "none", "emptied", Filtered("NOTHING", "NOTHING", ""), ""},
        {"ab", "word", "none", "short", "", ""},
        {"ways", "word", "token", "stored", "", "WAYS"},
        {"\xE4\xEB\xFF", "word", "stop", "stop", "", ""},
        {"\xEA\xED\xE8\xE3\xE8", "word", "none", "stored", Filtered(books, books, books), books},
        {"cats", "word", "none", "stored", Filtered("CATS", "CAT", "CAT"), "CAT"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flag);
    const bool query = std::string(c.flag) == "--query";
    std::vector<std::string> explain{"explain", "--tsv", kText};
    std::vector<std::string> split{"split", kText};
    if (query) explain.insert(explain.begin() + 1, "--query"), split.insert(split.begin() + 1, "--query");
    const ProcessResult result = vexa.Run(explain);
    ASSERT_EQ(result.exitCode, 0) << result.err << result.out;
    const Records pieces = RecordsOf(result.out, "piece");
    EXPECT_EQ(PieceRows(pieces), c.rows);

    // The words, CRC and codes shown are what the exports give.
    std::vector<std::string> stored, positions, sounds{"soundex"};
    for (const auto& piece : pieces) {
      if (piece.at(5) != "stored") continue;
      positions.push_back(piece.at(7));
      stored.push_back(piece.at(8));
      sounds.push_back(piece.at(10));
    }
    std::vector<std::string> expectedPositions;
    for (std::size_t i = 0; i < stored.size(); ++i) expectedPositions.push_back(std::to_string(i));
    EXPECT_EQ(positions, expectedPositions);
    const std::string crc = CrcLine(stored);
    EXPECT_EQ(RecordsOf(result.out, "crc"), (Records{{"crc", crc.substr(4)}}));
    OutputLines splitLines = Lines(vexa.Run(split).out);
    ASSERT_FALSE(splitLines.empty());
    splitLines.pop_back();  // the allocator
    stored.push_back(crc);
    EXPECT_EQ(splitLines, stored);
    std::vector<std::string> soundex{"soundex"};
    soundex.insert(soundex.end(), stored.begin(), stored.end() - 1);
    sounds.erase(sounds.begin());
    EXPECT_EQ(Lines(vexa.Run(soundex).out), sounds);

    EXPECT_EQ(RecordsOf(result.out, "unreachable"), (Records{{"unreachable", "1", "QWXTKFH"}}));
    EXPECT_TRUE(RecordsOf(result.out, "disagreement").empty());
  }
}

TEST(VexaExplain, TheTableForPeopleShowsTheSamePieces) {
  const VexaRunner vexa(ConfiguredFiles());
  const ProcessResult result = vexa.Run({"explain", "--out-cp1251", "The books ab"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::string out = result.out;
  EXPECT_NE(out.find("filters   " + kStrip + "; " + kDropNo + "\n"), std::string::npos) << out;
  EXPECT_NE(out.find("The    word  stop word: dropped\n"), std::string::npos) << out;
  EXPECT_NE(out.find("books  word  " + kStrip + ": BOOKS -> BOOK    0  BOOK"), std::string::npos) << out;
  EXPECT_NE(out.find("ab     word  shorter than 3: dropped\n"), std::string::npos) << out;
  EXPECT_NE(out.find("line 1: QWXTKFH"), std::string::npos) << out;
}

TEST(VexaExplain, ADisagreementWithTheModuleFailsLoudly) {
  // The filter keeps only the first word it ever sees: the explanation gets
  // it, and the module, called second, stores nothing.
  const VexaRunner vexa({ExtraFile::Written("Vexa.ini", "[Filters]\n" + ModuleFileName("keep_first_word_filter") + "=\n"),
                         Filter("keep_first_word_filter")});
  const ProcessResult result = vexa.Run({"explain", "--tsv", "alpha beta"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("DISAGREEMENT"), std::string::npos) << result.err;
  EXPECT_EQ(RecordsOf(result.out, "disagreement").size(), 2u) << "the word count and the CRC\n" << result.out;
}

TEST(VexaExplain, Utf8InAndOut) {
  const VexaRunner vexa(ConfiguredFiles());
  const ProcessResult result = vexa.Run({"explain", "--tsv", "--utf8", "для книги"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(PieceRows(RecordsOf(result.out, "piece")),
            (std::vector<PieceRow>{{"для", "word", "stop", "stop", "", ""},
                                   {"книги", "word", "none", "stored", Filtered("КНИГИ", "КНИГИ", "КНИГИ"), "КНИГИ"}}));
  EXPECT_EQ(vexa.Run({"soundex", "--utf8", "Иванов", "ёжик"}).out, vexa.Run({"soundex", "--hex", "C8E2E0EDEEE2", "b8e6e8ea"}).out);
}

TEST(VexaLists, NamesTheEntriesNeverFound) {
  const VexaRunner vexa(ConfiguredFiles());
  const ProcessResult result = vexa.Run({"lists"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(Lines(result.out), (OutputLines{"5 entries, 10 slots, 1 never found", "  line 1 of the lists: QWXTKFH"}));
}

TEST(VexaSplit, PrintsTheWordsThenTheCrcThenTheAllocator) {
  const VexaRunner vexa;
  const ProcessResult result = vexa.Run({"split", "The quick-brown fox"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  OutputLines lines = Lines(result.out);
  ASSERT_EQ(lines.size(), 6u) << result.out;
  EXPECT_EQ(lines.back().rfind("allocator: ", 0), 0u) << lines.back();
  lines.pop_back();
  EXPECT_EQ(lines, (OutputLines{"THE", "QUICK", "BROWN", "FOX", CrcLine({"THE", "QUICK", "BROWN", "FOX"})}));

  const ProcessResult query = vexa.Run({"split", "--query", "--hex", "61 2062 63"});
  ASSERT_EQ(query.exitCode, 0) << query.err;
  EXPECT_EQ(Lines(query.out).at(2), CrcLine({"A", "BC"}));
  // Without a text operand the text is standard input, here empty.
  EXPECT_EQ(Lines(vexa.Run({"split"}).out).at(0), "crc FFFFFFFF");
}

TEST(VexaSplit, AFileHexBytesAndABlobGiveTheSameWords) {
  const vexa::host::TempDirectory directory;
  const VexaRunner vexa;
  // Short enough for a command line of hex digits.
  const std::string text = LongText(400);
  const std::string file = directory.Write("text", text).string();
  const ProcessResult fromFile = vexa.Run({"split", "--file", file});
  ASSERT_EQ(fromFile.exitCode, 0) << fromFile.err;
  const OutputLines lines = Lines(fromFile.out);
  ASSERT_EQ(lines.size(), 400u + 4u + 2u) << "the words, the long ones, the CRC and the allocator";
  EXPECT_EQ(lines[1], std::string(31, 'X')) << "Parser_Next gives 31 bytes of a 40-byte word";
  EXPECT_EQ(vexa.Run({"split", "--hex", HexOf(text)}).out, fromFile.out);

  const std::string longFile = directory.Write("long", LongText(8000)).string();  // more than one segment
  const ProcessResult added = vexa.Run({"split", "--query", "--file", longFile});
  for (const char* segment : {"1", "80", "65535"}) {
    EXPECT_EQ(vexa.Run({"split", "--query", "--blob", segment, "--file", longFile}).out, added.out) << segment;
  }
  const ProcessResult explained = vexa.Run({"explain", "--blob", "80", "--file", longFile});
  EXPECT_EQ(explained.exitCode, 0) << explained.err;
}

TEST(VexaSoundex, PrintsOneCodePerWord) {
  const VexaRunner vexa;
  EXPECT_EQ(Lines(vexa.Run({"soundex", "Rupert", "Lee", ""}).out), (OutputLines{"874958", "813328", "533328"}));
  EXPECT_EQ(Lines(vexa.Run({"soundex", "--hex", "C8E2E0EDEEE2", "b8e6e8ea"}).out), (OutputLines{"784838", "745528"}));
}

struct FailureCase {
  const char* name;
  std::vector<std::string> arguments;  // the command, then what follows the module directory
  int exitCode;
};

void PrintTo(const FailureCase& row, std::ostream* out) { *out << row.name; }

class VexaFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(VexaFailure, ExitsWithItsCodeAndASayAndPrintsNothingElse) {
  const VexaRunner vexa;
  const ProcessResult result = vexa.Run(GetParam().arguments);
  EXPECT_EQ(result.exitCode, GetParam().exitCode);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err.rfind("vexa: ", 0), 0u) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, VexaFailure,
    ::testing::Values(FailureCase{"UnknownCommand", {"count", "x"}, 2},
                      FailureCase{"TwoTexts", {"explain", "a", "b"}, 2},
                      FailureCase{"SoundexWithoutWord", {"soundex"}, 2},
                      FailureCase{"QueryForSoundex", {"soundex", "--query", "x"}, 2},
                      FailureCase{"TsvForSplit", {"split", "--tsv", "x"}, 2},
                      FailureCase{"OperandForLists", {"lists", "x"}, 2},
                      FailureCase{"UnknownIndexAction", {"index", "ART", "drop"}, 2},
                      FailureCase{"BatchForCheck", {"index", "ART", "check", "--batch", "5"}, 2},
                      FailureCase{"BatchOfNoRows", {"index", "ART", "rebuild", "--batch", "0"}, 2},
                      FailureCase{"UserWithoutName", {"index", "ART", "--user"}, 2},
                      FailureCase{"OddHexDigits", {"split", "--hex", "ABC"}, 2},
                      FailureCase{"BlobOfZeroBytes", {"explain", "--blob", "0", "x"}, 2},
                      FailureCase{"BlobPastSixteenBits", {"split", "--blob", "65536", "x"}, 2},
                      FailureCase{"HexAndFile", {"split", "--hex", "--file", "6162"}, 2},
                      FailureCase{"FileThatCannotBeRead", {"explain", "--file", "/nonexistent/text"}, 4},
                      FailureCase{"NotUtf8", {"explain", "--in-utf8", "\xC8\xE2"}, 4},
                      FailureCase{"NotInWindows1251", {"split", "--utf8", "\xE4\xB8\xAD"}, 4}),
    [](const ::testing::TestParamInfo<FailureCase>& row) { return row.param.name; });

TEST(VexaFailures, NoSuchDirectoryAndAModuleThatWillNotLoad) {
  const ProcessResult missing = RunProcess({VEXA_TOOL_PATH, "explain", "/nonexistent/dir", "x"});
  EXPECT_EQ(missing.exitCode, 3);
  EXPECT_NE(missing.err.find("/nonexistent/dir"), std::string::npos) << missing.err;

  const vexa::host::TempDirectory empty;
  const ProcessResult noModule = RunProcess({VEXA_TOOL_PATH, "split", empty.Path().string(), "x"});
  EXPECT_EQ(noModule.exitCode, 5);
  EXPECT_NE(noModule.err.find(empty.Path().string()), std::string::npos) << noModule.err;

  const ProcessResult help = RunProcess({VEXA_TOOL_PATH, "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.out.rfind("usage: vexa explain", 0), 0u) << help.out;
}

}  // namespace
}  // namespace vexa::test

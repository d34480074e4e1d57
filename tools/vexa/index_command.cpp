#include "tools/vexa/index_command.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "tools/vexa/exit_status.h"
#include "tools/vexa/firebird_client.h"
#include "tools/vexa/progress_bar.h"
#include "tools/vexa/utf8_terminal.h"

namespace vexa::inspector {
namespace {

// An error that ends the command with its exit status.
struct IndexFailure {
  int exitStatus;
  std::string message;
};

std::string FromEnvironment(const std::string& given, const char* variable) {
  if (!given.empty()) return given;
  const char* value = std::getenv(variable);
  return value == nullptr ? std::string() : value;
}

bool TableExists(Connection& connection, const std::string& table) {
  return !connection.All("SELECT 1 FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = ?", {table}).empty();
}

std::vector<std::string> IndexNames(Connection& connection) {
  std::vector<std::string> names;
  for (const Row& row : connection.All("SELECT INDEX_NAME FROM FT_INDEXES ORDER BY INDEX_NAME")) {
    names.push_back(TextOf(row.at(0)));
  }
  return names;
}

std::string Number(const Value& value) { return IsNull(value) ? "none" : GroupedCount(IntegerOf(value)); }

std::string Weight(double weight) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", weight);
  return text;
}

// The table, key and weighted columns of an index over a table; empty for
// one filled by FT_INDEX.
std::string SourceLines(Connection& connection, const std::string& name) {
  const std::vector<Row> source = connection.All(
      "SELECT S.TABLE_NAME, S.KEY_COLUMN FROM FT_INDEX_SOURCES S JOIN FT_INDEXES I ON I.INDEX_ID = S.INDEX_ID "
      "WHERE I.INDEX_NAME = ?",
      {name});
  if (source.empty()) return "  table none (its documents come from FT_INDEX)\n";
  std::string columns;
  for (const Row& row : connection.All("SELECT C.COLUMN_NAME, C.WEIGHT FROM FT_INDEX_COLUMNS C "
                                       "JOIN FT_INDEXES I ON I.INDEX_ID = C.INDEX_ID WHERE I.INDEX_NAME = ? "
                                       "ORDER BY C.COLUMN_NO",
                                       {name})) {
    columns += (columns.empty() ? "" : ", ") + TextOf(row.at(0)) + "^" + Weight(NumberOf(row.at(1)));
  }
  return "  table " + TextOf(source[0].at(0)) + ", key " + TextOf(source[0].at(1)) + "\n  columns " + columns + "\n";
}

// The analyzer the index records ("trigram/1", "unicode/1 stem=german"), where
// the database records analyzers; one made before that is the module's own.
std::string AnalyzerLine(Connection& connection, const std::string& name) {
  if (connection.All("SELECT 1 FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = 'FT_INDEXES' "
                     "AND RDB$FIELD_NAME = 'ANALYZER'").empty()) {
    return "";
  }
  const std::vector<Row> rows = connection.All("SELECT ANALYZER FROM FT_INDEXES WHERE INDEX_NAME = ?", {name});
  const std::string analyzer = rows.empty() ? std::string() : TextOf(rows[0].at(0));
  return "  analyzer " + (analyzer.empty() ? std::string("win1251") : analyzer) + "\n";
}

std::string Description(Connection& connection, const std::string& name, bool hasSources) {
  const std::vector<Row> info = connection.All(
      "SELECT DOCUMENTS, WORDS, DISTINCT_WORDS, SEGMENTS, SEGMENTS_PER_LEVEL, PENDING_ROWS, INDEX_BYTES, "
      "LAST_MERGE_TRANSACTION FROM FT_INDEX_INFO(?)",
      {name});
  std::string text = "index " + name + "\n";
  if (hasSources) text += SourceLines(connection, name);
  if (info.empty()) return text + "  no information\n";
  const Row& row = info[0];
  text += "  documents " + Number(row.at(0)) + "\n";
  text += "  words " + Number(row.at(1)) + ", distinct " + Number(row.at(2)) + "\n";
  text += "  segments " + Number(row.at(3)) + ", per level " + (TextOf(row.at(4)).empty() ? "none" : TextOf(row.at(4))) + "\n";
  text += "  pending rows " + Number(row.at(5)) + "\n";
  text += "  index bytes " + Number(row.at(6)) + "\n";
  text += "  last merge transaction " + Number(row.at(7)) + "\n";
  return text + AnalyzerLine(connection, name);
}

// "in documents 3, 7, 9": the documents named by problems, in the order
// found, at most kDocumentsNamed of them.
std::string DocumentsNamed(const std::vector<std::int64_t>& documents) {
  constexpr std::size_t kDocumentsNamed = 20;
  if (documents.empty()) return "";
  std::string text = documents.size() == 1 ? ", in document " : ", in documents ";
  for (std::size_t i = 0; i < documents.size() && i < kDocumentsNamed; ++i) {
    text += (i == 0 ? "" : ", ") + std::to_string(documents[i]);
  }
  if (documents.size() > kDocumentsNamed) text += " and " + GroupedCount(static_cast<std::int64_t>(documents.size() - kDocumentsNamed)) + " more";
  return text;
}

// Prints each problem as FT_CHECK gives it (each names its document, when
// it is about one), then how many and in which documents.
int Check(Connection& connection, const std::string& name) {
  Cursor problems = connection.Open("SELECT DOC_ID, PROBLEM FROM FT_CHECK(?)", {name});
  std::int64_t count = 0;
  std::vector<std::int64_t> documents;
  while (std::optional<Row> row = problems.Next()) {
    ++count;
    if (!IsNull(row->at(0)) && std::find(documents.begin(), documents.end(), IntegerOf(row->at(0))) == documents.end()) {
      documents.push_back(IntegerOf(row->at(0)));
    }
    std::printf("%s\n", TextOf(row->at(1)).c_str());
  }
  if (count == 0) {
    std::printf("index %s: no problems\n", name.c_str());
    return kExitDone;
  }
  std::printf("index %s: %s problem%s%s\n", name.c_str(), GroupedCount(count).c_str(), count == 1 ? "" : "s",
              DocumentsNamed(documents).c_str());
  return kExitFault;
}

int Rebuild(Connection& connection, const std::string& name, long batchSize) {
  ProgressBar bar(stdout, StandardOutputIsTerminal());
  Cursor batches = connection.Open("SELECT ROWS_DONE, ROWS_TOTAL, ELAPSED_SECONDS FROM FT_REBUILD(?, ?)",
                                   {name, static_cast<std::int64_t>(batchSize)});
  std::int64_t done = 0;
  std::int64_t total = 0;
  double seconds = 0;
  while (std::optional<Row> row = batches.Next()) {
    done = IntegerOf(row->at(0));
    total = IntegerOf(row->at(1));
    seconds = NumberOf(row->at(2));
    bar.Show(done, total, seconds);
  }
  bar.Finish();
  connection.Commit();
  if (done == total) {
    std::printf("rebuilt %s: all %s rows done, %.1f s\n", name.c_str(), GroupedCount(done).c_str(), seconds);
  } else {
    // Rows inserted or deleted while it ran: the total was counted at the start.
    std::printf("rebuilt %s: %s rows done, of %s at the start, %.1f s\n", name.c_str(), GroupedCount(done).c_str(),
                GroupedCount(total).c_str(), seconds);
  }
  return kExitDone;
}

int Run(const CommandLine& line) {
  Connection connection({line.database, FromEnvironment(line.user, "ISC_USER"),
                         FromEnvironment(line.password, "ISC_PASSWORD")});
  if (!TableExists(connection, "FT_INDEXES")) {
    throw IndexFailure{kExitNoIndex, line.database + " holds no full-text index (sql/fulltext_udr.sql is not installed)"};
  }
  const bool hasSources = TableExists(connection, "FT_INDEX_SOURCES");
  const std::vector<std::string> names = IndexNames(connection);
  if (line.operands.empty()) {
    for (const std::string& name : names) std::fputs(Description(connection, name, hasSources).c_str(), stdout);
    return kExitDone;
  }
  const std::string& name = line.operands[0];
  bool known = false;
  std::string knownNames;
  for (const std::string& each : names) {
    known = known || each == name;
    knownNames += (knownNames.empty() ? "" : ", ") + each;
  }
  if (!known) {
    throw IndexFailure{kExitNoIndex, "no full-text index named " + name + " in " + line.database +
                                         " (its indexes: " + knownNames + ")"};
  }
  if (line.operands.size() == 1) {
    std::fputs(Description(connection, name, hasSources).c_str(), stdout);
    return kExitDone;
  }
  if (line.operands[1] == "check") return Check(connection, name);
  return Rebuild(connection, name, line.batchSize);
}

}  // namespace

int RunIndexCommand(const CommandLine& line) {
  try {
    return Run(line);
  } catch (const FirebirdError& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "vexa: %s\n", error.what());
    return kExitFirebirdFailed;
  } catch (const IndexFailure& failure) {
    std::fprintf(stderr, "vexa: %s\n", failure.message.c_str());
    return failure.exitStatus;
  }
}

}  // namespace vexa::inspector

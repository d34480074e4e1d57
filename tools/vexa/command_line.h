// What the vexa command line asks for.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vexa::inspector {

enum class Command { Help, Explain, Split, Soundex, Lists, Index };

// The code page of what vexa prints.
enum class OutputEncoding {
  Automatic,    // UTF-8 on a terminal whose locale is UTF-8, else Windows-1251
  Windows1251,  // the module's bytes as they stand
  Utf8,
};

struct CommandLine {
  Command command = Command::Help;
  std::string directory;              // the module directory
  std::vector<std::string> operands;  // the text, or the words, or (index) the index and what to do
  std::string database;               // index: a Firebird connection string
  std::string user;                   // index: --user, else ISC_USER
  std::string password;               // index: --password, else ISC_PASSWORD
  long batchSize = 1000;              // index rebuild: rows a batch
  bool batchGiven = false;            // --batch given
  bool query = false;                 // a query parser instead of a document parser
  bool tsv = false;                   // tab-separated records instead of a table
  bool hex = false;                   // operands are hexadecimal byte values
  bool file = false;                  // the operand names a file holding the text
  bool inputUtf8 = false;             // operands (or the file, or standard input) are UTF-8
  OutputEncoding output = OutputEncoding::Automatic;
  unsigned short blobSegment = 0;     // 0: Parser_Add; else Parser_AddBlob in segments of this size
  std::string analyzer;               // explain: the words of this analyzer (an index's), not the module's
};

// The command line of `argv`; no value, and `error` set, when it is not one
// vexa understands.
std::optional<CommandLine> ParseCommandLine(int argc, char** argv, std::string& error);

// The text of --help.
const char* UsageText();

}  // namespace vexa::inspector

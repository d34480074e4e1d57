#include "tools/vexa/command_line.h"

#include <cstdlib>

namespace vexa::inspector {
namespace {

constexpr long kLargestSegment = 65535;  // a BLOB segment's length is 16 bits
constexpr long kLargestBatch = 2147483647;  // FT_REBUILD's BATCH_SIZE is an INTEGER

std::optional<Command> CommandNamed(const std::string& name) {
  if (name == "explain") return Command::Explain;
  if (name == "split") return Command::Split;
  if (name == "soundex") return Command::Soundex;
  if (name == "lists") return Command::Lists;
  if (name == "index") return Command::Index;
  if (name == "help") return Command::Help;
  return std::nullopt;
}

std::optional<long> PositiveCount(const std::string& text) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < 1 || value > kLargestBatch) return std::nullopt;
  return value;
}

std::optional<unsigned short> SegmentSize(const std::string& text) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < 1 || value > kLargestSegment) return std::nullopt;
  return static_cast<unsigned short>(value);
}

bool SplitsText(Command command) { return command == Command::Explain || command == Command::Split; }

// Applies one option; false, with `error` set, when it is unknown or does
// not belong to the command.
bool ApplyOption(const std::string& option, const std::string* value, CommandLine& line, bool& usedValue,
                 std::string& error) {
  const Command command = line.command;
  const bool splits = SplitsText(command);
  const bool takesText = splits || command == Command::Soundex;
  if (option == "--query" && splits) {
    line.query = true;
  } else if (option == "--tsv" && command == Command::Explain) {
    line.tsv = true;
  } else if (option == "--analyzer" && command == Command::Explain) {
    if (!value) {
      error = "--analyzer wants an analyzer, as FT_CREATE_INDEX takes it (unicode stem=german, say)";
      return false;
    }
    line.analyzer = *value;
    usedValue = true;
  } else if (option == "--hex" && takesText) {
    line.hex = true;
  } else if (option == "--file" && splits) {
    line.file = true;
  } else if (option == "--utf8" && takesText) {
    line.inputUtf8 = true;
    line.output = OutputEncoding::Utf8;
  } else if (option == "--in-utf8" && takesText) {
    line.inputUtf8 = true;
  } else if (option == "--out-utf8") {
    line.output = OutputEncoding::Utf8;
  } else if (option == "--out-cp1251") {
    line.output = OutputEncoding::Windows1251;
  } else if ((option == "--user" || option == "--password") && command == Command::Index) {
    if (!value) {
      error = option + " wants a value";
      return false;
    }
    (option == "--user" ? line.user : line.password) = *value;
    usedValue = true;
  } else if (option == "--batch" && command == Command::Index) {
    const std::optional<long> size = value ? PositiveCount(*value) : std::nullopt;
    if (!size) {
      error = "--batch wants a positive number of rows";
      return false;
    }
    line.batchSize = *size;
    line.batchGiven = true;
    usedValue = true;
  } else if (option == "--blob" && splits) {
    const std::optional<unsigned short> size = value ? SegmentSize(*value) : std::nullopt;
    if (!size) {
      error = "--blob wants a segment size of 1..65535 bytes";
      return false;
    }
    line.blobSegment = *size;
    usedValue = true;
  } else {
    error = "unknown option " + option + " for this command";
    return false;
  }
  return true;
}

bool CheckIndexOperands(const CommandLine& line, std::string& error) {
  const std::size_t count = line.operands.size();
  if (line.database.empty()) {
    error = "no database given";
  } else if (count > 2) {
    error = "index takes a database, an index and check or rebuild";
  } else if (count == 2 && line.operands[1] != "check" && line.operands[1] != "rebuild") {
    error = "unknown index action " + line.operands[1] + " (check or rebuild)";
  } else if (line.batchGiven && (count < 2 || line.operands[1] != "rebuild")) {
    error = "--batch belongs to rebuild";
  }
  return error.empty();
}

bool CheckOperands(const CommandLine& line, std::string& error) {
  const std::size_t count = line.operands.size();
  if (line.command == Command::Help) return true;
  if (line.command == Command::Index) return CheckIndexOperands(line, error);
  if (line.directory.empty()) {
    error = "no module directory given";
    return false;
  }
  if (line.hex && (line.file || line.inputUtf8)) {
    error = "--hex excludes --file and UTF-8 input";
    return false;
  }
  if (SplitsText(line.command)) {
    if (count > 1) error = "one text at most (quote it)";
    if (count == 0 && (line.file || line.hex)) error = "--file and --hex want an operand";
  } else if (line.command == Command::Soundex) {
    if (count == 0) error = "soundex wants at least one word";
  } else if (count != 0) {
    error = "lists takes nothing but the directory";
  }
  return error.empty();
}

}  // namespace

std::optional<CommandLine> ParseCommandLine(int argc, char** argv, std::string& error) {
  CommandLine line;
  std::vector<std::string> arguments(argv + 1, argv + argc);
  for (const std::string& argument : arguments) {
    if (argument == "--") break;
    if (argument == "--help" || argument == "-h") return line;  // Command::Help
  }
  if (arguments.empty()) {
    error = "no command given";
    return std::nullopt;
  }
  const std::optional<Command> command = CommandNamed(arguments.front());
  if (!command) {
    error = "unknown command " + arguments.front();
    return std::nullopt;
  }
  line.command = *command;
  bool optionsEnded = false;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!optionsEnded && argument == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
      bool usedValue = false;
      const std::string* value = i + 1 < arguments.size() ? &arguments[i + 1] : nullptr;
      if (!ApplyOption(argument, value, line, usedValue, error)) return std::nullopt;
      if (usedValue) ++i;
    } else if (line.command == Command::Index && line.database.empty()) {
      line.database = argument;
    } else if (line.command != Command::Index && line.directory.empty()) {
      line.directory = argument;
    } else {
      line.operands.push_back(argument);
    }
  }
  if (!CheckOperands(line, error)) return std::nullopt;
  return line;
}

const char* UsageText() {
  return "usage: vexa explain [--query] [--tsv] [--blob SIZE] [--analyzer ANALYZER] [TEXT OPTIONS] DIR [TEXT]\n"
         "       vexa split   [--query] [--blob SIZE] [TEXT OPTIONS] DIR [TEXT]\n"
         "       vexa soundex [--hex | --utf8 | --in-utf8] [--out-utf8 | --out-cp1251] DIR WORD...\n"
         "       vexa lists   [--out-utf8 | --out-cp1251] DIR\n"
         "       vexa index   [--user USER] [--password PASSWORD] DATABASE [INDEX]\n"
         "       vexa index   [--user USER] [--password PASSWORD] DATABASE INDEX check\n"
         "       vexa index   [--user USER] [--password PASSWORD] DATABASE INDEX rebuild [--batch N]\n"
         "\n"
         "DIR is a module directory: the module (Vexa.so, Vexa.dll on Windows) with\n"
         "Vexa.ini, the word lists and the filters beside it, as the server has them.\n"
         "vexa loads the module by its path and calls its exports, as the server does.\n"
         "\n"
         "  explain  each piece of the text and what became of it: word or token, stop\n"
         "           word or too short and dropped, each filter's rewrite, the position\n"
         "           and the word stored; then the CRC, the phonetic code of each stored\n"
         "           word and the list entries the lookup table can never find. The\n"
         "           stored words, positions, CRC and codes are the module's; the\n"
         "           explanation of each piece is worked out beside it, and where the\n"
         "           two disagree vexa says so and exits with 1.\n"
         "  split    the words Parser_Next returns, one a line, then \"crc XXXXXXXX\"\n"
         "           (Parser_CRC) and the allocator the result strings came from.\n"
         "  soundex  the StrSoundEX code of each WORD, one a line.\n"
         "  lists    the word list entries the lookup table can never find.\n"
         "  index    the full-text indexes of a Firebird database, through the client\n"
         "           library: each index (or INDEX) with what FT_INDEX_INFO tells of it\n"
         "           and, for an index over a table, the table, key and columns with\n"
         "           their weights. check prints each problem FT_CHECK finds; rebuild\n"
         "           runs FT_REBUILD in batches of N rows (1000) with its progress, and\n"
         "           commits. DATABASE is a connection string: a file for the embedded\n"
         "           engine, host/port:file for a server. The user and password are\n"
         "           ISC_USER and ISC_PASSWORD unless given. Output is UTF-8.\n"
         "\n"
         "  --query       a query parser (Parser_CreateQuery): keeps stop and short words\n"
         "  --tsv         explain as tab-separated records, for scripts\n"
         "  --analyzer ANALYZER  explain: the words an index of that analyzer stores (unicode,\n"
         "                unicode stem=german, ...): each word's bytes in the UTF-8 text,\n"
         "                as written and as stored, and the CRC; DIR holds its stop-word files\n"
         "  --blob SIZE   hand the text over by Parser_AddBlob, in segments of SIZE bytes\n"
         "TEXT OPTIONS (without TEXT the text is read from standard input):\n"
         "  --file        TEXT names a file holding the text\n"
         "  --hex         TEXT (or each WORD) is hexadecimal byte values, e.g. C8E2E0ED\n"
         "  --in-utf8     the text is UTF-8, converted to Windows-1251 for the module\n"
         "  --utf8        --in-utf8 and --out-utf8\n"
         "Output is in the module's code page, Windows-1251, except on a terminal whose\n"
         "locale is UTF-8, where it is converted to UTF-8. --out-utf8 and --out-cp1251\n"
         "choose either. Bytes below 0x20 in pieces and words show as \\xNN.\n"
         "\n"
         "Exit status: 0 done; 1 the module and the explanation disagree, (lists)\n"
         "some entries are never found, or (index check) the index has problems;\n"
         "2 bad usage; 3 no such module directory; 4 the text cannot be read, or is\n"
         "not UTF-8 fit for Windows-1251;\n"
         "5 the module will not load, lacks an export or refuses a call;\n"
         "6 (index) Firebird refused, its message printed as it gave it; 7 no such\n"
         "index; 8 vexa was built without Firebird's client library.\n";
}

}  // namespace vexa::inspector

// vexa: what a Vexa module makes of a text, piece by piece, the module's
// exports called from the command line, and a database's full-text indexes.
// `vexa --help` tells how.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "config/configuration.h"
#include "support/host/binary_streams.h"
#include "support/host/hex_text.h"
#include "support/host/vexa_module.h"
#include "support/windows1251_utf8.h"
#include "tools/vexa/analyzer_explanation.h"
#include "tools/vexa/command_line.h"
#include "tools/vexa/exit_status.h"
#include "tools/vexa/explanation.h"
#include "tools/vexa/index_command.h"
#include "tools/vexa/module_calls.h"
#include "tools/vexa/module_configuration.h"
#include "tools/vexa/piece_explainer.h"
#include "tools/vexa/utf8_terminal.h"

namespace vexa::inspector {
namespace {

// An error that ends the run with its exit status.
struct Failure {
  int exitStatus;
  std::string message;
};

void Print(const std::string& text, const CommandLine& line) {
  const bool utf8 = line.output == OutputEncoding::Utf8 ||
                    (line.output == OutputEncoding::Automatic && StandardOutputIsUtf8Terminal());
  const std::string bytes = utf8 ? vexa::support::Windows1251ToUtf8(text) : text;
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

// The module directory as an absolute path ending in a separator, as the
// module knows its own directory.
std::string ModuleDirectory(const std::string& given) {
  std::error_code error;
  const std::filesystem::path path = std::filesystem::absolute(given, error);
  if (error || !std::filesystem::is_directory(path, error)) {
    throw Failure{kExitNoDirectory, "no such module directory: " + given};
  }
  std::string directory = path.string();
  if (directory.back() != '/' && directory.back() != '\\') directory += '/';
  return directory;
}

std::unique_ptr<vexa::host::VexaModule> LoadModule(const std::string& directory) {
  try {
    return std::make_unique<vexa::host::VexaModule>(directory + VEXA_MODULE_FILE_NAME);
  } catch (const std::exception& error) {
    throw Failure{kExitModuleFailed, std::string("the module will not load: ") + error.what()};
  }
}

std::string ReadAll(std::istream& stream, const std::string& name) {
  std::string bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
  if (stream.bad()) throw Failure{kExitUnreadableText, "cannot read " + name};
  return bytes;
}

// One operand as the module's bytes: decoded from hex, or converted from UTF-8.
std::string OperandBytes(const std::string& operand, const CommandLine& line) {
  if (line.hex) {
    const std::optional<std::string> bytes = vexa::host::DecodeHexText(operand);
    if (!bytes) throw Failure{kExitUsage, "not hexadecimal bytes: " + operand};
    return *bytes;
  }
  if (!line.inputUtf8) return operand;
  try {
    return vexa::support::Utf8ToWindows1251(operand);
  } catch (const std::invalid_argument& fault) {
    throw Failure{kExitUnreadableText, std::string("the text is ") + fault.what()};
  }
}

// The text to split: the operand, the file it names, or standard input.
std::string TextToSplit(const CommandLine& line) {
  if (line.operands.empty()) return OperandBytes(ReadAll(std::cin, "standard input"), line);
  if (!line.file) return OperandBytes(line.operands.front(), line);
  std::ifstream file(line.operands.front(), std::ios::binary);
  if (!file) throw Failure{kExitUnreadableText, "cannot read " + line.operands.front()};
  return OperandBytes(ReadAll(file, line.operands.front()), line);
}

int Split(const CommandLine& line) {
  const std::string directory = ModuleDirectory(line.directory);
  const std::string text = TextToSplit(line);
  const auto module = LoadModule(directory);
  std::string error;
  const std::optional<ModuleSplit> split = SplitWithModule(module->Exports(), text, line.query, line.blobSegment, error);
  if (!split) throw Failure{kExitModuleFailed, error};
  std::string out;
  for (const std::string& word : split->words) out += word + '\n';
  char crc[32];
  std::snprintf(crc, sizeof crc, "crc %08X\n", static_cast<unsigned>(split->crc));
  out += crc;
  out += "allocator: " + DescribeResultAllocator(split->sawNullResult) + '\n';
  Print(out, line);
  return kExitDone;
}

int Soundex(const CommandLine& line) {
  const std::string directory = ModuleDirectory(line.directory);
  std::vector<std::string> words;
  for (const std::string& operand : line.operands) words.push_back(OperandBytes(operand, line));
  const auto module = LoadModule(directory);
  std::string out;
  for (const std::string& word : words) out += std::to_string(module->Exports().StrSoundEX(word.c_str())) + '\n';
  Print(out, line);
  return kExitDone;
}

// Reads the lists as the module does when it loads, Vexa.ini or not, and
// names every entry no lookup will ever find: an entry gets at most eight
// slots of the lookup table, and one that finds none of them free is left
// out. Reordering the lists or adding entries changes where entries land.
int Lists(const CommandLine& line) {
  const std::string directory = ModuleDirectory(line.directory);
  vexa::TWordLookupTable table;
  vexa::LoadWordLists(directory, table);
  const std::vector<std::size_t> unreachable = table.UnreachableEntries();
  std::string out = std::to_string(table.Words().size()) + " entries, " + std::to_string(table.Slots().size()) +
                    " slots, " + std::to_string(unreachable.size()) + " never found\n";
  for (const std::size_t index : unreachable) {
    out += "  line " + std::to_string(index + 1) + " of the lists: " + Escaped(table.Words()[index]) + '\n';
  }
  Print(out, line);
  return unreachable.empty() ? kExitDone : kExitFault;
}

int Explain(const CommandLine& line) {
  const std::string directory = ModuleDirectory(line.directory);
  if (!line.analyzer.empty()) {
    // The text is UTF-8 as it stands, and so is what is printed.
    CommandLine utf8 = line;
    utf8.inputUtf8 = false;
    const std::string text = TextToSplit(utf8);
    std::string out;
    try {
      out = ExplainByAnalyzer(line.analyzer, directory, text, line.tsv);
    } catch (const std::runtime_error& error) {
      throw Failure{kExitUsage, error.what()};
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kExitDone;
  }
  const std::string text = TextToSplit(line);
  const auto module = LoadModule(directory);
  const ModuleConfiguration configuration(directory);

  Explanation explanation;
  explanation.modulePath = module->Path();
  explanation.query = line.query;
  explanation.pieces = ExplainText(text.c_str(), line.query, configuration);
  std::string error;
  std::optional<ModuleSplit> split = SplitWithModule(module->Exports(), text, line.query, line.blobSegment, error);
  if (!split) throw Failure{kExitModuleFailed, error};
  explanation.module = std::move(*split);
  explanation.unreachableEntries = configuration.Settings().wordTable.UnreachableEntries();
  CompareWithModule(module->Exports(), configuration, explanation);

  Print(line.tsv ? RenderTsv(explanation, configuration) : RenderTable(explanation, configuration), line);
  for (const std::string& disagreement : explanation.disagreements) {
    std::fprintf(stderr, "vexa: DISAGREEMENT between the module and the explanation: %s\n", disagreement.c_str());
  }
  return explanation.disagreements.empty() ? kExitDone : kExitFault;
}

int Run(int argc, char** argv) {
  std::string error;
  const std::optional<CommandLine> line = ParseCommandLine(argc, argv, error);
  if (!line) {
    std::fprintf(stderr, "vexa: %s\n%s", error.c_str(), "try vexa --help\n");
    return kExitUsage;
  }
  try {
    switch (line->command) {
      case Command::Help: std::fputs(UsageText(), stdout); return kExitDone;
      case Command::Explain: return Explain(*line);
      case Command::Split: return Split(*line);
      case Command::Soundex: return Soundex(*line);
      case Command::Lists: return Lists(*line);
      case Command::Index: return RunIndexCommand(*line);
    }
  } catch (const Failure& failure) {
    std::fprintf(stderr, "vexa: %s\n", failure.message.c_str());
    return failure.exitStatus;
  }
  return kExitUsage;
}

}  // namespace
}  // namespace vexa::inspector

int main(int argc, char** argv) {
  vexa::host::UseBinaryStandardStreams();
  int status = 0;
  try {
    status = vexa::inspector::Run(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vexa: %s\n", error.what());
    status = vexa::inspector::kExitModuleFailed;
  }
  std::fflush(stdout);
  return status;
}

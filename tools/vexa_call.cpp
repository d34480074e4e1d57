// vexa_call: a command-line host for a Vexa module. It loads the module by
// path, as the database server does, and calls its exports.
//
//   vexa_call MODULE split [--query] [--hex] TEXT
//       Splits TEXT with a document parser (a query parser with --query),
//       prints each word Parser_Next returns on a line of its own, then
//       "crc XXXXXXXX" (Parser_CRC in hex), then "allocator: ..." naming the
//       allocator the result strings came from.
//   vexa_call MODULE soundex [--hex] WORD...
//       Prints the StrSoundEX code of each WORD on a line of its own.
//
//   --hex   TEXT and WORDs are given as hexadecimal byte values, e.g.
//           C8E2E0EDEEE2, for bytes the terminal's code page cannot type.
//
// Exit status: 0 done; 1 the module did not load or refused a call; 2 usage.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "tools/hex_text.h"
#include "tools/loaded_objects.h"
#include "tools/vexa_module.h"

namespace {

constexpr int kExitDone = 0;
constexpr int kExitModuleFailed = 1;
constexpr int kExitUsage = 2;

void PrintUsage() {
  std::fputs(
      "usage: vexa_call MODULE split [--query] [--hex] TEXT\n"
      "       vexa_call MODULE soundex [--hex] WORD...\n",
      stderr);
}

struct Options {
  bool query = false;
  bool hex = false;
  std::vector<std::string> operands;
};

// Options first, then operands; "--" ends the options.
std::optional<Options> ParseOptions(int argc, char** argv, int first, bool allowQuery) {
  Options options;
  int i = first;
  for (; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--") {
      ++i;
      break;
    }
    if (argument == "--hex") {
      options.hex = true;
    } else if (argument == "--query" && allowQuery) {
      options.query = true;
    } else if (argument.rfind("--", 0) == 0) {
      std::fprintf(stderr, "vexa_call: unknown option %s\n", argument.c_str());
      return std::nullopt;
    } else {
      break;
    }
  }
  for (; i < argc; ++i) options.operands.emplace_back(argv[i]);
  if (options.hex) {
    for (std::string& operand : options.operands) {
      std::optional<std::string> bytes = vexa_host::DecodeHexText(operand);
      if (!bytes) {
        std::fprintf(stderr, "vexa_call: not hexadecimal bytes: %s\n", operand.c_str());
        return std::nullopt;
      }
      operand = *bytes;
    }
  }
  return options;
}

// Which allocator made the result strings. The module binds the server's
// utility library when it can load one, so a libib_util.so mapped into this
// process is the one it took.
std::string DescribeAllocator(bool sawNullResult) {
  if (sawNullResult) return "none (Parser_Next returned a null pointer)";
  const std::string utility = vexa_host::LoadedObjectPath("libib_util.so");
  if (!utility.empty()) return "ib_util_malloc of " + utility;
  return "malloc of the C library";
}

int Split(const vexa_host::VexaExports& vexa, const std::string& text, bool query) {
  const std::int32_t handle = query ? vexa.Parser_CreateQuery() : vexa.Parser_Create();
  if (handle == 0) {
    std::fputs("vexa_call: no parser handle (Parser_Create returned 0)\n", stderr);
    return kExitModuleFailed;
  }
  if (vexa.Parser_Add(&handle, text.c_str()) != 1 || vexa.Parser_Reset(&handle) != 1) {
    std::fputs("vexa_call: the module refused the text\n", stderr);
    vexa.Parser_Free(&handle);
    return kExitModuleFailed;
  }
  bool sawNullResult = false;
  for (;;) {
    char* result = vexa.Parser_Next(&handle);
    if (result == nullptr) {
      sawNullResult = true;
      break;
    }
    const std::string word = result;
    // ib_util_malloc hands out the C library's heap, as malloc does.
    std::free(result);
    if (word.empty()) break;
    std::fwrite(word.data(), 1, word.size(), stdout);
    std::fputc('\n', stdout);
  }
  std::printf("crc %08X\n", static_cast<unsigned>(static_cast<std::uint32_t>(vexa.Parser_CRC(&handle))));
  vexa.Parser_Free(&handle);
  std::printf("allocator: %s\n", DescribeAllocator(sawNullResult).c_str());
  return kExitDone;
}

int SoundEx(const vexa_host::VexaExports& vexa, const std::vector<std::string>& words) {
  for (const std::string& word : words) std::printf("%d\n", static_cast<int>(vexa.StrSoundEX(word.c_str())));
  return kExitDone;
}

int Run(int argc, char** argv) {
  if (argc < 3) {
    PrintUsage();
    return kExitUsage;
  }
  const std::string command = argv[2];
  if (command != "split" && command != "soundex") {
    PrintUsage();
    return kExitUsage;
  }
  const std::optional<Options> options = ParseOptions(argc, argv, 3, command == "split");
  if (!options) return kExitUsage;
  if ((command == "split" && options->operands.size() != 1) || (command == "soundex" && options->operands.empty())) {
    PrintUsage();
    return kExitUsage;
  }

  const vexa_host::VexaModule module(argv[1]);
  const int status = command == "split" ? Split(module.Exports(), options->operands.front(), options->query)
                                        : SoundEx(module.Exports(), options->operands);
  std::fflush(stdout);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vexa_call: %s\n", error.what());
    return kExitModuleFailed;
  }
}

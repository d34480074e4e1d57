// vexa_call: a command-line host for a Vexa module. It loads the module by
// path, as the database server does, and calls its exports.
//
//   vexa_call MODULE split [--query] [--hex] [--file] [--blob SIZE] TEXT
//       Splits TEXT with a document parser (a query parser with --query),
//       prints each word Parser_Next returns on a line of its own, then
//       "crc XXXXXXXX" (Parser_CRC in hex), then "allocator: ..." naming the
//       allocator the result strings came from.
//   vexa_call MODULE soundex [--hex] WORD...
//       Prints the StrSoundEX code of each WORD on a line of its own.
//
//   --hex        TEXT and WORDs are given as hexadecimal byte values, e.g.
//                C8E2E0EDEEE2, for bytes the terminal's code page cannot type.
//   --file       TEXT names a file whose bytes are the text, for texts too
//                long or too binary for a command line.
//   --blob SIZE  The text goes in by Parser_AddBlob, as a BLOB the host
//                hands over in segments of at most SIZE bytes (1..65535),
//                instead of by Parser_Add.
//
// Output is bytes as the module returned them, lines ending in "\n" on
// every system.
//
// Exit status: 0 done; 1 the module did not load or refused a call; 2 usage,
// or a --file that cannot be read.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "tools/binary_streams.h"
#include "tools/hex_text.h"
#include "tools/host_blob_callback.h"
#include "tools/loaded_objects.h"
#include "tools/system_library.h"
#include "tools/vexa_module.h"

namespace {

constexpr int kExitDone = 0;
constexpr int kExitModuleFailed = 1;
constexpr int kExitUsage = 2;

constexpr long kLargestSegment = 65535;  // a segment length is 16 bits

void PrintUsage() {
  std::fputs(
      "usage: vexa_call MODULE split [--query] [--hex] [--file] [--blob SIZE] TEXT\n"
      "       vexa_call MODULE soundex [--hex] WORD...\n",
      stderr);
}

struct Options {
  bool query = false;
  bool hex = false;
  bool file = false;
  unsigned short blobSegment = 0;  // 0: Parser_Add
  std::vector<std::string> operands;
};

std::optional<unsigned short> ParseSegmentSize(const char* text) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < 1 || value > kLargestSegment) return std::nullopt;
  return static_cast<unsigned short>(value);
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) return std::nullopt;
  return bytes;
}

// Options first, then operands; "--" ends the options. --query, --file and
// --blob belong to split only.
std::optional<Options> ParseOptions(int argc, char** argv, int first, bool split) {
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
    } else if (argument == "--query" && split) {
      options.query = true;
    } else if (argument == "--file" && split) {
      options.file = true;
    } else if (argument == "--blob" && split) {
      const std::optional<unsigned short> size = i + 1 < argc ? ParseSegmentSize(argv[i + 1]) : std::nullopt;
      if (!size) {
        std::fputs("vexa_call: --blob wants a segment size of 1..65535 bytes\n", stderr);
        return std::nullopt;
      }
      options.blobSegment = *size;
      ++i;
    } else if (argument.rfind("--", 0) == 0) {
      std::fprintf(stderr, "vexa_call: unknown option %s\n", argument.c_str());
      return std::nullopt;
    } else {
      break;
    }
  }
  for (; i < argc; ++i) options.operands.emplace_back(argv[i]);
  if (options.hex && options.file) {
    std::fputs("vexa_call: --hex and --file exclude each other\n", stderr);
    return std::nullopt;
  }
  for (std::string& operand : options.operands) {
    if (options.hex) {
      std::optional<std::string> bytes = vexa_host::DecodeHexText(operand);
      if (!bytes) {
        std::fprintf(stderr, "vexa_call: not hexadecimal bytes: %s\n", operand.c_str());
        return std::nullopt;
      }
      operand = *bytes;
    } else if (options.file) {
      std::optional<std::string> bytes = ReadFileBytes(operand);
      if (!bytes) {
        std::fprintf(stderr, "vexa_call: cannot read %s\n", operand.c_str());
        return std::nullopt;
      }
      operand = *bytes;
    }
  }
  return options;
}

// The text as a BLOB the host serves in segments, as the server's
// get-segment function does.
class TextBlob {
 public:
  TextBlob(const std::string& text, unsigned short segment) : text_(text), segment_(segment) {}

  vexa_host::BlobCallback Record() {
    vexa_host::BlobCallback record{};
    record.blob_get_segment = &TextBlob::GetSegment;
    record.blob_handle = this;
    record.blob_number_segments = static_cast<std::int32_t>((text_.size() + segment_ - 1) / segment_);
    record.blob_max_segment = segment_;
    record.blob_total_length = static_cast<std::int32_t>(text_.size());
    return record;
  }

 private:
  static short GetSegment(void* handle, unsigned char* buffer, unsigned short bufferSize,
                          unsigned short* resultLength) {
    auto* blob = static_cast<TextBlob*>(handle);
    const std::size_t count = std::min<std::size_t>({blob->segment_, bufferSize, blob->text_.size() - blob->position_});
    *resultLength = static_cast<unsigned short>(count);
    if (count == 0) return 0;
    std::memcpy(buffer, blob->text_.data() + blob->position_, count);
    blob->position_ += count;
    return 1;
  }

  const std::string& text_;
  unsigned short segment_;
  std::size_t position_ = 0;
};

// Which allocator made the result strings. The module binds the server's
// utility library when it can load one, so a utility library loaded into
// this process is the one it took.
std::string DescribeAllocator(bool sawNullResult) {
  if (sawNullResult) return "none (Parser_Next returned a null pointer)";
  const std::string utility = vexa_host::LoadedObjectPath(vexa_host::kServerUtilityLibrary);
  if (!utility.empty()) return "ib_util_malloc of " + utility;
  return "malloc of the C library";
}

bool AddText(const vexa_host::VexaExports& vexa, std::int32_t handle, const std::string& text,
             unsigned short blobSegment) {
  if (blobSegment == 0) return vexa.Parser_Add(&handle, text.c_str()) == 1;
  if (text.size() > static_cast<std::size_t>(INT32_MAX)) return false;
  TextBlob blob(text, blobSegment);
  const vexa_host::BlobCallback record = blob.Record();
  return vexa.Parser_AddBlob(&handle, &record) == 1;
}

int Split(const vexa_host::VexaExports& vexa, const std::string& text, const Options& options) {
  const std::int32_t handle = options.query ? vexa.Parser_CreateQuery() : vexa.Parser_Create();
  if (handle == 0) {
    std::fputs("vexa_call: no parser handle (Parser_Create returned 0)\n", stderr);
    return kExitModuleFailed;
  }
  if (!AddText(vexa, handle, text, options.blobSegment) || vexa.Parser_Reset(&handle) != 1) {
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
  const int status = command == "split" ? Split(module.Exports(), options->operands.front(), *options)
                                        : SoundEx(module.Exports(), options->operands);
  std::fflush(stdout);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  vexa_host::UseBinaryStandardStreams();
  try {
    return Run(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vexa_call: %s\n", error.what());
    return kExitModuleFailed;
  }
}

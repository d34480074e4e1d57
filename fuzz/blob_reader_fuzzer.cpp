// BLOB delivery through the server's get-segment call, with a fuzzed record
// and a fuzzed host. The input is carved into fields (input_fields.h):
//   record       'h' for a null blob handle, 'g' for a null get-segment call;
//   max segment  an integer as Vexa.ini spells it (0 when not valid);
//   total        likewise; totals over 1 MiB are held to 1 MiB so that the
//                module's buffer of total + 1 bytes stays small;
//   host script  one byte a call: 0 ends the BLOB; 1 delivers nothing but
//                says more follows; otherwise the low 7 bits times 8 bytes
//                are delivered (never more than offered), and the high bit
//                makes the host claim 1000 bytes more than it wrote. When the
//                script runs out the BLOB ends;
//   data         the rest: the bytes the host serves, over and over.
// The module must never offer more room than it has left, must stop after
// a bounded number of empty deliveries, and must return exactly the bytes
// delivered, NUL-terminated.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "config/config_file.h"
#include "frame/blob_reader.h"
#include "input_fields.h"

namespace {

constexpr std::int32_t kLargestTotal = 1 << 20;
constexpr unsigned short kOverstatement = 1000;
constexpr int kMostEmptyInARow = 64;

void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "blob_reader_fuzzer: %s\n", what);
    std::abort();
  }
}

struct ScriptedHost {
  std::string_view script;
  std::string_view data;
  std::int64_t total = 0;
  std::size_t step = 0;
  std::size_t served = 0;       // position in the data, cycling
  std::int64_t accepted = 0;    // what the module counts: claims held to the offer
  bool overstated = false;
  int emptyInARow = 0;
  std::string delivered;        // the bytes written, in order

  static short GetSegment(void* handle, unsigned char* buffer, unsigned short room, unsigned short* length) {
    return static_cast<ScriptedHost*>(handle)->Serve(buffer, room, length);
  }

  short Serve(unsigned char* buffer, unsigned short room, unsigned short* length) {
    Require(room > 0, "offered no room");
    Require(room <= total - accepted, "offered more room than the total leaves");
    *length = 0xBEEF;  // what a host may leave behind when it ends
    if (step >= script.size()) return 0;
    const auto command = static_cast<unsigned char>(script[step++]);
    if (command == 0) return 0;
    std::size_t count = 0;
    if (command > 1 && !data.empty()) count = std::min<std::size_t>(room, std::size_t{command & 0x7Fu} * 8);
    for (std::size_t i = 0; i < count; ++i) {
      buffer[i] = static_cast<unsigned char>(data[served]);
      served = (served + 1) % data.size();
    }
    delivered.append(reinterpret_cast<const char*>(buffer), count);
    std::size_t claimed = count;
    if ((command & 0x80u) != 0) {
      claimed = std::min<std::size_t>(count + kOverstatement, 0xFFFF);
      overstated = true;
    }
    emptyInARow = claimed == 0 ? emptyInARow + 1 : 0;
    Require(emptyInARow <= kMostEmptyInARow, "kept calling a host that delivers nothing");
    accepted += std::min<std::int64_t>(static_cast<std::int64_t>(claimed), room);
    *length = static_cast<unsigned short>(claimed);
    return 1;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vexa::fuzz::InputFields fields(data, size);
  const std::string_view record = fields.Next();
  const std::int32_t maxSegment = vexa::ParseConfigInteger(fields.Next()).value_or(0);
  const std::int32_t total = std::min(vexa::ParseConfigInteger(fields.Next()).value_or(0), kLargestTotal);

  ScriptedHost host;
  host.script = fields.Next();
  host.data = fields.Rest();
  host.total = std::max(total, 0);

  BLOBCALLBACK blob{};
  blob.blob_get_segment = record.find('g') == std::string_view::npos ? &ScriptedHost::GetSegment : nullptr;
  blob.blob_handle = record.find('h') == std::string_view::npos ? &host : nullptr;
  blob.blob_max_segment = maxSegment;
  blob.blob_total_length = total;

  const std::unique_ptr<char[]> text = vexa::ReadBlobText(&blob);
  if (blob.blob_get_segment == nullptr || blob.blob_handle == nullptr) {
    Require(text == nullptr && host.step == 0, "read a BLOB the record does not carry");
    return 0;
  }
  Require(text != nullptr, "no text for a BLOB");
  Require(host.accepted <= host.total, "accepted more than the total");
  const auto accepted = static_cast<std::size_t>(host.accepted);
  Require(text[accepted] == '\0', "the text does not end where the deliveries do");
  if (!host.overstated) {
    Require(host.delivered.size() == accepted, "the deliveries and the text differ in length");
    Require(std::memcmp(text.get(), host.delivered.data(), accepted) == 0, "the text differs from the deliveries");
  }
  return 0;
}

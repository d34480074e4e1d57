// Calls the exports of a loaded module as the server does: every argument
// by reference, the string result copied and freed by the caller.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/host/vexa_module.h"

namespace vexa::test {

enum class ParserKind { kDocument, kQuery };

class HostCalls {
 public:
  explicit HostCalls(const vexa::host::VexaExports& exports) : exports_(exports) {}

  std::int32_t Create() const { return exports_.Parser_Create(); }
  std::int32_t CreateQuery() const { return exports_.Parser_CreateQuery(); }
  std::int32_t Create(ParserKind kind) const { return kind == ParserKind::kQuery ? CreateQuery() : Create(); }
  std::int32_t Free(std::int32_t handle) const { return exports_.Parser_Free(&handle); }
  std::int32_t Add(std::int32_t handle, const char* text) const { return exports_.Parser_Add(&handle, text); }
  std::int32_t Add(std::int32_t handle, const std::string& text) const { return Add(handle, text.c_str()); }
  std::int32_t AddBlob(std::int32_t handle, const vexa::host::BlobCallback* blob) const {
    return exports_.Parser_AddBlob(&handle, blob);
  }
  std::uint32_t Crc(std::int32_t handle) const { return static_cast<std::uint32_t>(exports_.Parser_CRC(&handle)); }
  std::int32_t Reset(std::int32_t handle) const { return exports_.Parser_Reset(&handle); }
  std::int32_t SoundEx(const char* text) const { return exports_.StrSoundEX(text); }
  std::int32_t SoundEx(const std::string& text) const { return SoundEx(text.c_str()); }

  // Parser_Next's word. A null result fails the running test and reads as "".
  std::string Next(std::int32_t handle) const;

  // Parser_Next until it returns the empty string.
  std::vector<std::string> ReadAll(std::int32_t handle) const;

  // The words of `text` from a new parser of `kind`, which is freed again.
  std::vector<std::string> Split(const std::string& text, ParserKind kind) const;

  // Parser_CRC of a new parser of `kind` given `text`.
  std::uint32_t CrcOf(const std::string& text, ParserKind kind) const;

  const vexa::host::VexaExports& Exports() const { return exports_; }

 private:
  const vexa::host::VexaExports& exports_;
};

}  // namespace vexa::test

// Loads a Vexa module the way the database server does (by path: dlopen with
// RTLD_NOW | RTLD_LOCAL on POSIX, LoadLibraryA on Windows) and resolves its
// nine exports by name.
#pragma once

#include <cstdint>
#include <string>

#include "support/host/host_blob_callback.h"

namespace vexa::host {

// The exports as the host declares them: C calling convention, every
// argument by reference, integer results by value, the string result in
// memory the caller frees.
struct VexaExports {
  std::int32_t (*Parser_Create)() = nullptr;
  std::int32_t (*Parser_CreateQuery)() = nullptr;
  std::int32_t (*Parser_Free)(const std::int32_t* handle) = nullptr;
  std::int32_t (*Parser_Add)(const std::int32_t* handle, const char* text) = nullptr;
  std::int32_t (*Parser_AddBlob)(const std::int32_t* handle, const BlobCallback* blob) = nullptr;
  std::int32_t (*Parser_CRC)(const std::int32_t* handle) = nullptr;
  std::int32_t (*Parser_Reset)(const std::int32_t* handle) = nullptr;
  char* (*Parser_Next)(const std::int32_t* handle) = nullptr;
  std::int32_t (*StrSoundEX)(const char* text) = nullptr;
};

class VexaModule {
 public:
  // Loads the module file at `path` and resolves the nine exports. Throws
  // std::runtime_error, with the path and the loader's message, when the
  // file does not load or lacks one of them.
  explicit VexaModule(const std::string& path);
  ~VexaModule();
  VexaModule(const VexaModule&) = delete;
  VexaModule& operator=(const VexaModule&) = delete;

  const VexaExports& Exports() const { return exports_; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  void* library_ = nullptr;
  VexaExports exports_;
};

}  // namespace vexa::host

// The nine exports: each checks its arguments, finds the parser of a handle
// and hands the work on. Nothing thrown inside ever leaves them.
#include "frame/exports.h"

#include <string_view>

#include "frame/blob_reader.h"
#include "frame/library.h"
#include "phonetic/sound_code.h"

namespace vexa {
namespace {

// Parser_Next returns at most this many bytes of a word.
constexpr std::size_t kMaxResultWordLength = 31;

TParser* FindParser(const std::int32_t* handle) {
  Library* library = LoadedLibrary();
  if (library == nullptr || handle == nullptr) return nullptr;
  return library->handles.Find(*handle);
}

std::int32_t CreateParser(bool isQuery) {
  Library* library = LoadedLibrary();
  if (library == nullptr) return 0;
  return library->handles.Create(isQuery, library->configuration.settings);
}

}  // namespace
}  // namespace vexa

using vexa::TParser;

extern "C" {

std::int32_t Parser_Create() {
  try {
    return vexa::CreateParser(false);
  } catch (...) {
    return 0;
  }
}

std::int32_t Parser_CreateQuery() {
  try {
    return vexa::CreateParser(true);
  } catch (...) {
    return 0;
  }
}

std::int32_t Parser_Free(const std::int32_t* handle) {
  vexa::Library* library = vexa::LoadedLibrary();
  if (library == nullptr || handle == nullptr) return 0;
  return library->handles.Free(*handle);
}

std::int32_t Parser_Add(const std::int32_t* handle, const char* text) {
  TParser* parser = vexa::FindParser(handle);
  if (parser == nullptr) return 0;
  try {
    parser->AddText(text);
    return 1;
  } catch (...) {
    return 0;  // out of memory outside word intake; the words stored stay
  }
}

std::int32_t Parser_AddBlob(const std::int32_t* handle, const BLOBCALLBACK* blob) {
  TParser* parser = vexa::FindParser(handle);
  if (parser == nullptr) return 0;
  try {
    const std::unique_ptr<char[]> text = vexa::ReadBlobText(blob);
    if (text != nullptr) parser->AddText(text.get());
    return 1;
  } catch (...) {
    return 0;
  }
}

std::int32_t Parser_CRC(const std::int32_t* handle) {
  const TParser* parser = vexa::FindParser(handle);
  if (parser == nullptr) return 0;
  return static_cast<std::int32_t>(parser->CRC());
}

std::int32_t Parser_Reset(const std::int32_t* handle) {
  TParser* parser = vexa::FindParser(handle);
  if (parser == nullptr) return 0;
  parser->Reset();
  return 1;
}

char* Parser_Next(const std::int32_t* handle) {
  // Called once for every word a document keeps: the library is looked up
  // once, and nothing here can throw.
  vexa::Library* library = vexa::LoadedLibrary();
  if (library == nullptr) return nullptr;
  std::string_view word;
  if (handle != nullptr) {
    if (TParser* parser = library->handles.Find(*handle)) word = parser->NextWord();
  }
  const std::size_t length = word.size() < vexa::kMaxResultWordLength ? word.size() : vexa::kMaxResultWordLength;
  return library->udfLib.ResultString(word.data(), length);
}

std::int32_t StrSoundEX(const char* text) {
  const vexa::Library* library = vexa::LoadedLibrary();
  if (library == nullptr) return vexa::SoundCode(text, vexa::kBuiltInNationalLetters, vexa::kBuiltInTranslationLetters);
  return library->configuration.soundCoder->Code(text);
}

}  // extern "C"

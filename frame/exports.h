// The nine functions Vexa exports to the database server, as a C host sees
// them. Every argument is passed by reference; integer results by value;
// Parser_Next's string belongs to the caller, who frees it with the server's
// allocator (ib_util_free, or free when no ib_util library was found).
//
// Which symbols leave the module is decided at link time (frame/exports.map,
// frame/exports.def): these nine and nothing else.
#pragma once

#include <cstdint>

#include "frame/blob_callback.h"

extern "C" {

// A new document parser: a handle 1..1024, 0 when all handles are in use.
std::int32_t Parser_Create();
// A new query parser, which keeps short words and stop words.
std::int32_t Parser_CreateQuery();
// Frees a handle: 1 (also for an unused handle in 1..1024), 0 outside that range.
std::int32_t Parser_Free(const std::int32_t* handle);
// Splits a text into words: 1, or 0 for a bad handle.
std::int32_t Parser_Add(const std::int32_t* handle, const char* text);
// Splits the text of a BLOB into words: 1, or 0 for a bad handle.
std::int32_t Parser_AddBlob(const std::int32_t* handle, const BLOBCALLBACK* blob);
// The CRC of the parser's word stream; 0 for a bad handle.
std::int32_t Parser_CRC(const std::int32_t* handle);
// Rewinds to the first word: 1, or 0 for a bad handle.
std::int32_t Parser_Reset(const std::int32_t* handle);
// The next word, at most 31 bytes; empty at the end or for a bad handle.
char* Parser_Next(const std::int32_t* handle);
// The phonetic code of a word.
std::int32_t StrSoundEX(const char* text);

}  // extern "C"

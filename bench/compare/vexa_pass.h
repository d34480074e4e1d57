// Vexa's exports called per document exactly as the server's full-text
// triggers call them: Parser_Create; the text with Parser_AddBlob (the BLOB
// in segments of 65535 bytes) or Parser_Add; Parser_Reset; Parser_Next until
// it returns the empty string, each result freed as the server frees it;
// Parser_CRC; Parser_Free.
#pragma once

#include <string>
#include <vector>

#include "bench/compare/pass_result.h"
#include "bench/compare/result_release.h"
#include "tools/vexa_module.h"

namespace vexa::compare {

enum class TextIntake { kAddBlob, kAdd };

// The whole cycle for each document. Words: the words Parser_Next gave.
// Checksum: the documents' Parser_CRC values and the bytes of every word.
// Throws std::runtime_error when an export refuses a good handle.
PassResult ParseAndReadDocuments(const vexa_host::VexaExports& vexa, const ResultRelease& release,
                                 const std::vector<std::string>& documents, TextIntake intake);

// The cycle without reading the words back: Parser_Create, Parser_AddBlob,
// Parser_CRC, Parser_Free. What the full cycle costs beyond this is the
// price of handing the words over one call and one allocation at a time.
// Words: none are read, so 0; checksum: the Parser_CRC values.
PassResult ParseDocumentsWithoutReading(const vexa_host::VexaExports& vexa, const std::vector<std::string>& documents);

}  // namespace vexa::compare

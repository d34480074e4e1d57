// The module's own answers for a text, independent of the database: a
// second copy of Vexa.so with the same configuration beside it, loaded into
// this process with dlopen, and called as the server calls it.
//
// Parser_Next allocates its result with ib_util_malloc of the real
// libib_util.so. Once the embedded engine has started in a process, it has
// routed ib_util_malloc into its own allocator, which works only inside the
// engine's calls; so a process asks for words before its first embedded
// attachment (DocumentWords throws std::logic_error after it).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "module_directory.h"
#include "support/host/vexa_module.h"

namespace vexa::firebird {

// What the index should hold for one text.
struct DocumentForm {
  std::vector<std::string> words;                  // in order, as Parser_Next gives them
  std::int32_t crc = 0;                            // Parser_CRC
  std::map<std::string, std::int32_t> soundCodes;  // StrSoundEX of each word
};

class LibraryWords {
 public:
  explicit LibraryWords(const ModuleConfiguration& configuration);

  // What Parser_Next returns after Parser_Add of `text` and Parser_Reset,
  // for a document parser.
  std::vector<std::string> DocumentWords(const std::string& text) const;
  // Parser_CRC of a document parser given `text`.
  std::int32_t DocumentCrc(const std::string& text) const;
  std::int32_t SoundCode(const std::string& word) const;
  // All three for `text`.
  DocumentForm Document(const std::string& text) const;

 private:
  ModuleDirectory directory_;
  vexa::host::VexaModule module_;
};

}  // namespace vexa::firebird

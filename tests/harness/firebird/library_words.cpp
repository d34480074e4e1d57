#include "library_words.h"

#include <cstdlib>
#include <stdexcept>

#include "support/host/loaded_objects.h"

namespace vexa::firebird {
namespace {

// A handle of a new document parser, freed when it goes.
class DocumentParser {
 public:
  explicit DocumentParser(const vexa::host::VexaExports& exports) : exports_(exports), handle_(exports.Parser_Create()) {
    if (handle_ == 0) throw std::runtime_error("Parser_Create returned no handle");
  }
  ~DocumentParser() { exports_.Parser_Free(&handle_); }
  DocumentParser(const DocumentParser&) = delete;
  DocumentParser& operator=(const DocumentParser&) = delete;

  const std::int32_t* Handle() const { return &handle_; }

 private:
  const vexa::host::VexaExports& exports_;
  std::int32_t handle_;
};

// The Parser_Add argument is a NUL-terminated string: Parser_Add and the
// SQL's BLOB both stop at the first NUL, so the text is taken up to it.
std::string UpToNul(const std::string& text) { return text.substr(0, text.find('\0')); }

}  // namespace

LibraryWords::LibraryWords(const ModuleConfiguration& configuration)
    : directory_(configuration), module_(directory_.ModulePath().string()) {}

std::vector<std::string> LibraryWords::DocumentWords(const std::string& text) const {
  if (!vexa::host::LoadedObjectPath("libEngine12.so").empty()) {
    throw std::logic_error("the embedded engine runs in this process: ask for the module's words before attaching");
  }
  const vexa::host::VexaExports& exports = module_.Exports();
  const DocumentParser parser(exports);
  const std::string argument = UpToNul(text);
  exports.Parser_Add(parser.Handle(), argument.c_str());
  exports.Parser_Reset(parser.Handle());
  std::vector<std::string> words;
  for (;;) {
    char* word = exports.Parser_Next(parser.Handle());
    if (word == nullptr) throw std::runtime_error("Parser_Next returned a null pointer");
    const std::string copy = word;
    std::free(word);
    if (copy.empty()) return words;
    words.push_back(copy);
  }
}

std::int32_t LibraryWords::DocumentCrc(const std::string& text) const {
  const vexa::host::VexaExports& exports = module_.Exports();
  const DocumentParser parser(exports);
  const std::string argument = UpToNul(text);
  exports.Parser_Add(parser.Handle(), argument.c_str());
  return exports.Parser_CRC(parser.Handle());
}

DocumentForm LibraryWords::Document(const std::string& text) const {
  DocumentForm form;
  form.words = DocumentWords(text);
  form.crc = DocumentCrc(text);
  for (const std::string& word : form.words) form.soundCodes[word] = SoundCode(word);
  return form;
}

std::int32_t LibraryWords::SoundCode(const std::string& word) const { return module_.Exports().StrSoundEX(word.c_str()); }

}  // namespace vexa::firebird

#include "bench/compare/text_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace vexa::compare {
namespace {

constexpr const char* kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

class Converter {
 public:
  Converter(const char* to, const char* from) : descriptor_(iconv_open(to, from)) {
    if (descriptor_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
    }
  }
  ~Converter() { iconv_close(descriptor_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `text`; a byte the source code page does not define is handed
  // to `replacement` when it is given, else it is an error.
  std::string Convert(const std::string& text, const char* replacement) const {
    std::string converted;
    std::string input = text;
    char* in = input.data();
    std::size_t inLeft = input.size();
    char buffer[4096];
    while (inLeft > 0) {
      char* out = buffer;
      std::size_t outLeft = sizeof buffer;
      const std::size_t done = iconv(descriptor_, &in, &inLeft, &out, &outLeft);
      const int error = errno;
      converted.append(buffer, static_cast<std::size_t>(out - buffer));
      if (done != static_cast<std::size_t>(-1) || error == E2BIG) continue;
      if (error == EILSEQ && replacement != nullptr) {
        converted += replacement;
        ++in;
        --inLeft;
        continue;
      }
      throw std::runtime_error("iconv cannot convert the text: byte " + std::to_string(in - input.data()));
    }
    return converted;
  }

 private:
  iconv_t descriptor_;
};

}  // namespace

std::string Windows1251ToUtf8(const std::string& text) {
  return Converter("UTF-8", "WINDOWS-1251").Convert(text, kReplacementCharacter);
}

std::string Utf8ToWindows1251(const std::string& text) {
  return Converter("WINDOWS-1251", "UTF-8").Convert(text, nullptr);
}

std::vector<std::string> DocumentsInUtf8(const std::vector<std::string>& documents) {
  const Converter converter("UTF-8", "WINDOWS-1251");
  std::vector<std::string> converted;
  converted.reserve(documents.size());
  for (const std::string& document : documents) converted.push_back(converter.Convert(document, kReplacementCharacter));
  return converted;
}

}  // namespace vexa::compare

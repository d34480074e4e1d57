#include "text_encoding.h"

#include <iconv.h>

#include <stdexcept>
#include <vector>

namespace vexa_firebird {
namespace {

std::string Convert(const std::string& text, const char* from, const char* to) {
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error(std::string("no conversion to ") + to);
  std::vector<char> output(text.size() * 4 + 4);
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char* out = output.data();
  std::size_t outLeft = output.size();
  const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
  iconv_close(converter);
  if (result == static_cast<std::size_t>(-1)) throw std::runtime_error(std::string("text does not convert to ") + to);
  return std::string(output.data(), output.size() - outLeft);
}

}  // namespace

std::string Win1251ToUtf8(const std::string& text) { return Convert(text, "WINDOWS-1251", "UTF-8"); }
std::string Utf8ToWin1251(const std::string& text) { return Convert(text, "UTF-8", "WINDOWS-1251"); }

}  // namespace vexa_firebird

#include "bench/corpus/windows1251_case.h"

#include "platform/platform.h"

namespace vexa::bench {

std::string UpperCase1251(std::string text) {
  platform::UpperCase(text.data(), text.size());
  return text;
}

bool IsWrittenInCapitals(const std::string& text) { return UpperCase1251(text) == text; }

}  // namespace vexa::bench

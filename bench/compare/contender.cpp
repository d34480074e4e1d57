#include "bench/compare/contender.h"

#include <algorithm>
#include <iterator>

namespace vexa::compare {

std::size_t ContenderIndex(Contender contender) {
  return static_cast<std::size_t>(std::find(std::begin(kAllContenders), std::end(kAllContenders), contender) -
                                  std::begin(kAllContenders));
}

const char* ContenderName(Contender contender) {
  switch (contender) {
    case Contender::kVexaAddBlob:
      return "Vexa, Parser_AddBlob";
    case Contender::kVexaAdd:
      return "Vexa, Parser_Add";
    case Contender::kVexaWithoutReading:
      return "Vexa, AddBlob, no Next";
    case Contender::kVexaWithoutLists:
      return "Vexa, AddBlob, no lists";
    case Contender::kVexaUdrFetch:
      return "Vexa, UDR fetch path";
    case Contender::kFts5Ascii:
      return "FTS5 ascii";
    case Contender::kFts5Unicode61:
      return "FTS5 unicode61 (UTF-8)";
    case Contender::kBareRunScan:
      return "bare run scan";
  }
  return "?";
}

}  // namespace vexa::compare

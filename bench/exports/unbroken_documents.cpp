#include "bench/exports/unbroken_documents.h"

#include <stdexcept>

namespace vexa::bench {

UnbrokenDocuments CutUnbrokenDocuments(const std::string& name, const std::string& text) {
  if (text.size() < static_cast<std::size_t>(kMaxUnbrokenMiB) * kBytesPerMiB) {
    throw std::invalid_argument("the text for " + name + " is shorter than the largest size");
  }
  UnbrokenDocuments documents{name, {}};
  for (std::int64_t mib = kMinUnbrokenMiB; mib <= kMaxUnbrokenMiB; mib *= kUnbrokenSizeMultiplier) {
    documents.bySize[mib] = {text.substr(0, static_cast<std::size_t>(mib) * kBytesPerMiB)};
  }
  return documents;
}

}  // namespace vexa::bench

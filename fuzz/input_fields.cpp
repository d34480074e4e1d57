#include "input_fields.h"

namespace vexa::fuzz {

std::string_view InputFields::Next() {
  const std::size_t end = rest_.find(kSeparator);
  const std::string_view field = rest_.substr(0, end);
  rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
  return field;
}

}  // namespace vexa::fuzz

#include "sql_value.h"

#include <stdexcept>

namespace vexa::firebird {

bool IsNull(const Value& value) { return std::holds_alternative<std::monostate>(value); }

std::int64_t AsInteger(const Value& value) {
  if (const auto* integer = std::get_if<std::int64_t>(&value)) return *integer;
  throw std::logic_error("the value is no integer");
}

double AsDouble(const Value& value) {
  if (const auto* number = std::get_if<double>(&value)) return *number;
  return static_cast<double>(AsInteger(value));
}

const std::string& AsText(const Value& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  throw std::logic_error("the value is no text");
}

}  // namespace vexa::firebird

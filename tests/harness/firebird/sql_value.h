// What goes into a statement and what comes out of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace vexa::firebird {

// A parameter written into a new BLOB, segment by segment, before the
// statement runs.
struct BlobText {
  std::string bytes;
};

// NULL, BIGINT, VARCHAR (in the connection's character set) or a BLOB.
using Parameter = std::variant<std::nullptr_t, std::int64_t, std::string, BlobText>;

// A column's value: NULL, any integer, any floating-point number, or text
// (CHAR, VARCHAR and BLOB alike, as bytes in the connection's character set).
using Value = std::variant<std::monostate, std::int64_t, double, std::string>;
using Row = std::vector<Value>;

bool IsNull(const Value& value);
// Throw std::logic_error when the value is of another kind.
std::int64_t AsInteger(const Value& value);
double AsDouble(const Value& value);  // an integer is converted
const std::string& AsText(const Value& value);

}  // namespace vexa::firebird

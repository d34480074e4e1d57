// Carves a fuzzer's input into fields: each field ends at the byte 0x1E
// (record separator), and the last field takes the rest of the input,
// separators and all. Seeds stay readable text, and a mutation inside one
// field leaves the others where they were.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vexa::fuzz {

class InputFields {
 public:
  static constexpr char kSeparator = '\x1E';

  InputFields(const std::uint8_t* data, std::size_t size)
      : rest_(reinterpret_cast<const char*>(data), size) {}

  // The next field; empty once the input is used up.
  std::string_view Next();

  // Everything not yet taken.
  std::string_view Rest() const { return rest_; }

 private:
  std::string_view rest_;
};

}  // namespace vexa::fuzz

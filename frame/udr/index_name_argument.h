// The INDEX_NAME argument the index routines take last: a VARCHAR naming a
// full-text index. Left out of a routine's declaration, or NULL, it names
// the index called DEFAULT.
#pragma once

#include <optional>
#include <string>

#include "frame/udr/message_layout.h"

namespace vexa::udr {

class IndexNameArgument {
 public:
  IndexNameArgument() = default;
  // Field `index` of `layout`, when the declaration has that many fields;
  // refused unless it is a VARCHAR or CHAR.
  IndexNameArgument(const MessageLayout& layout, unsigned index);

  // The name, without trailing blanks.
  std::string Read(const unsigned char* message) const;
  // As Read, but nullopt where the argument is left out or NULL.
  std::optional<std::string> ReadGiven(const unsigned char* message) const;

 private:
  std::optional<TextField> field_;
  bool isChar_ = false;
};

}  // namespace vexa::udr

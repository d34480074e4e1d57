#include "frame/udr/index_name_argument.h"

#include <cstdint>
#include <cstring>

#include "frame/udr/index_session.h"

namespace vexa::udr {

IndexNameArgument::IndexNameArgument(const MessageLayout& layout, unsigned index) {
  if (index >= layout.Count()) return;
  isChar_ = layout.IsChar(index);
  field_ = layout.Varchar(index, true);
}

std::string IndexNameArgument::Read(const unsigned char* message) const {
  return ReadGiven(message).value_or(kDefaultIndex);
}

std::optional<std::string> IndexNameArgument::ReadGiven(const unsigned char* message) const {
  if (!field_ || IsNull(message, field_->nullOffset)) return std::nullopt;
  std::string name;
  if (isChar_) {
    name.assign(reinterpret_cast<const char*>(message + field_->offset), field_->capacity);
  } else {
    std::uint16_t length;
    std::memcpy(&length, message + field_->offset, sizeof length);
    name.assign(reinterpret_cast<const char*>(message + field_->offset + sizeof length), length);
  }
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

}  // namespace vexa::udr

// A text argument of a routine, declared as a BLOB SUB_TYPE TEXT (any
// length) or as a VARCHAR or CHAR, read whole.
#pragma once

#include <optional>
#include <string>

#include "frame/udr/firebird_udr.h"
#include "frame/udr/message_layout.h"

namespace vexa::udr {

class TextArgument {
 public:
  TextArgument() = default;
  // Field `index` of `layout`; refused unless it is a text.
  TextArgument(const MessageLayout& layout, unsigned index);

  // The text, or nullopt for NULL. CHAR values keep their padding.
  std::optional<std::string> Read(Status* status, Firebird::IExternalContext* context, const unsigned char* message) const;
  TextEncoding Encoding() const { return encoding_; }
  // The engine's id of its character set.
  unsigned Charset() const { return kind_ == Kind::kBlob ? blob_.charset : text_.charset; }

 private:
  enum class Kind { kBlob, kVarchar, kChar };
  Kind kind_ = Kind::kBlob;
  BlobField blob_;
  TextField text_;
  TextEncoding encoding_ = TextEncoding::kSingleByte;
};

}  // namespace vexa::udr

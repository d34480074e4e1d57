#include "frame/udr/text_argument.h"

#include <cstdint>
#include <cstring>

#include "frame/udr/blob_text.h"

namespace vexa::udr {

TextArgument::TextArgument(const MessageLayout& layout, unsigned index) {
  if (layout.IsBlob(index)) {
    kind_ = Kind::kBlob;
    blob_ = layout.Blob(index);
    encoding_ = blob_.encoding;
  } else {
    kind_ = layout.IsChar(index) ? Kind::kChar : Kind::kVarchar;
    text_ = layout.Varchar(index, true);
    encoding_ = text_.encoding;
  }
}

std::optional<std::string> TextArgument::Read(Status* status, Firebird::IExternalContext* context,
                                              const unsigned char* message) const {
  if (kind_ == Kind::kBlob) return BlobFieldBytes(status, context, message, blob_);
  if (IsNull(message, text_.nullOffset)) return std::nullopt;
  const auto* bytes = reinterpret_cast<const char*>(message + text_.offset);
  if (kind_ == Kind::kChar) return std::string(bytes, text_.capacity);
  std::uint16_t length;
  std::memcpy(&length, bytes, sizeof length);
  return std::string(bytes + sizeof length, length);
}

}  // namespace vexa::udr

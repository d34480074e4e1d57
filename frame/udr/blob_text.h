// BLOBs read and written through the caller's attachment: a text handed to a
// parser as Parser_AddBlob hands it (the BLOB's segments form one text,
// which ends at its first NUL byte), and the index's long values.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "frame/udr/firebird_udr.h"
#include "frame/udr/message_layout.h"
#include "parser/parser.h"

namespace vexa::udr {

// Every byte of the BLOB `id`.
std::string ReadBlob(Status* status, Firebird::IAttachment* attachment, Firebird::ITransaction* transaction,
                     const ISC_QUAD& id);

// A text BLOB's bytes given in character set `from`, stored in `to` (the
// engine's ids); the engine transliterates them as they are written.
struct BlobCharsets {
  unsigned from = 0;
  unsigned to = 0;
};

// A new BLOB holding `bytes`: its id. With `text`, a text BLOB.
ISC_QUAD WriteBlob(Status* status, Firebird::IAttachment* attachment, Firebird::ITransaction* transaction,
                   std::string_view bytes, std::optional<BlobCharsets> text = std::nullopt);

// The bytes of the BLOB of `field` in `message`, or nullopt for NULL.
std::optional<std::string> BlobFieldBytes(Status* status, Firebird::IExternalContext* context,
                                          const unsigned char* message, const BlobField& field);

// Reads the BLOB of `field` in `message` through the caller's attachment and
// transaction and adds its text to `parser`. A NULL BLOB adds nothing.
void AddBlobText(Status* status, Firebird::IExternalContext* context, const unsigned char* message,
                 const BlobField& field, TParser& parser);

}  // namespace vexa::udr

// Hands the text of an input BLOB to a parser, as Parser_AddBlob does: the
// BLOB's segments form one text, which ends at its first NUL byte.
#pragma once

#include "frame/udr/firebird_udr.h"
#include "frame/udr/message_layout.h"
#include "parser/parser.h"

namespace vexa::udr {

// Reads the BLOB of `field` in `message` through the caller's attachment and
// transaction and adds its text to `parser`. A NULL BLOB adds nothing.
void AddBlobText(Status* status, Firebird::IExternalContext* context, const unsigned char* message,
                 const BlobField& field, TParser& parser);

}  // namespace vexa::udr

// The message buffers of the OO API: parameters laid out by a metadata of
// their own types, and output rows read back into Values.
#pragma once

#include <firebird/Interface.h>

#include <vector>

#include "sql_value.h"

namespace vexa::firebird {

// Where BLOBs are written and read.
struct BlobContext {
  Firebird::ThrowStatusWrapper* status;
  Firebird::IAttachment* attachment;
  Firebird::ITransaction* transaction;
};

class InputMessage {
 public:
  // Lays out `parameters` for a statement that declares `declared`
  // (the same count). Text goes in the character set `charsetId`; a BlobText
  // is written into a new BLOB now.
  InputMessage(const BlobContext& context, Firebird::IMessageMetadata* declared,
               const std::vector<Parameter>& parameters, unsigned charsetId);
  ~InputMessage();
  InputMessage(const InputMessage&) = delete;
  InputMessage& operator=(const InputMessage&) = delete;

  Firebird::IMessageMetadata* Metadata() const { return metadata_; }
  unsigned char* Buffer() { return buffer_.data(); }

 private:
  Firebird::IMessageMetadata* metadata_ = nullptr;
  std::vector<unsigned char> buffer_;
};

// The columns of one output row laid out by `metadata` in `buffer`.
Row ReadRow(const BlobContext& context, Firebird::IMessageMetadata* metadata, const unsigned char* buffer);

}  // namespace vexa::firebird

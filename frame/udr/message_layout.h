// Where a routine's parameters and results lie in the engine's messages,
// read once from the metadata of the routine's declaration. A declaration
// whose types this module cannot serve is refused with a RoutineError that
// names the field.
#pragma once

#include <cstdint>
#include <cstring>

#include "frame/udr/firebird_udr.h"
#include "frame/udr/output_text.h"

namespace vexa::udr {

// A BLOB field: its offset (an ISC_QUAD), its null indicator's, and how
// its text's characters are made of bytes.
struct BlobField {
  unsigned offset = 0;
  unsigned nullOffset = 0;
  TextEncoding encoding = TextEncoding::kSingleByte;
  unsigned charset = 0;  // the engine's id of its character set
};

// A DOUBLE PRECISION field.
struct DoubleField {
  unsigned offset = 0;
  unsigned nullOffset = 0;
};

// The fields of one message of a routine.
class MessageLayout {
 public:
  // Takes the metadata (released here) and checks it has `fieldCount`
  // fields; a refusal names `script`, the SQL that declares the routine.
  MessageLayout(Status* status, Firebird::IMessageMetadata* metadata, unsigned fieldCount,
                const char* script = "sql/splitting_udr.sql");
  // As above, for a declaration of `fewestFields` to `mostFields` fields
  // (trailing arguments that declarations made for fewer leave out).
  MessageLayout(Status* status, Firebird::IMessageMetadata* metadata, unsigned fewestFields, unsigned mostFields,
                const char* script);

  unsigned Count() const { return count_; }

  BlobField Blob(unsigned index) const;
  // A field of type `sqlType` (SQL_SHORT, SQL_LONG or SQL_INT64), scale 0.
  IntegerField Integer(unsigned index, unsigned sqlType) const;
  DoubleField Double(unsigned index) const;
  // A VARCHAR field (CHAR too when `allowChar`), in a character set whose
  // values can be cut safely: single-byte or UTF-8.
  TextField Varchar(unsigned index, bool allowChar = false) const;
  bool IsChar(unsigned index) const;
  bool IsSmallint(unsigned index) const;
  bool IsBlob(unsigned index) const;

 private:
  // Throws a RoutineError naming field `index`.
  [[noreturn]] void Refuse(unsigned index, const char* expected) const;
  unsigned Type(unsigned index) const;

  Status* status_;
  Released<Firebird::IMessageMetadata> metadata_;
  const char* script_;
  unsigned count_ = 0;
};

inline bool IsNull(const unsigned char* message, unsigned nullOffset) {
  std::int16_t indicator;
  std::memcpy(&indicator, message + nullOffset, sizeof indicator);
  return indicator != 0;
}

template <typename Integer>
Integer ReadInteger(const unsigned char* message, const IntegerField& field) {
  Integer value;
  std::memcpy(&value, message + field.offset, sizeof value);
  return value;
}

}  // namespace vexa::udr

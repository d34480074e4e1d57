#include "frame/udr/message_layout.h"

#include <string>

#include "frame/udr/routine_error.h"

namespace vexa::udr {
namespace {

// Character set ids of the engine.
constexpr unsigned kUnicodeFss = 3;
constexpr unsigned kUtf8 = 4;
// Multi-byte character sets other than UTF-8: SJIS_0208, EUCJ_0208,
// KSC_5601, BIG_5, GB_2312, GBK, CP943C, GB18030.
constexpr unsigned kOtherMultiByte[] = {5, 6, 44, 56, 57, 67, 68, 69};

}  // namespace

MessageLayout::MessageLayout(Status* status, Firebird::IMessageMetadata* metadata, unsigned fieldCount,
                             const char* script)
    : MessageLayout(status, metadata, fieldCount, fieldCount, script) {}

MessageLayout::MessageLayout(Status* status, Firebird::IMessageMetadata* metadata, unsigned fewestFields,
                             unsigned mostFields, const char* script)
    : status_(status), metadata_(metadata), script_(script), count_(metadata_->getCount(status_)) {
  if (count_ < fewestFields || count_ > mostFields) {
    const std::string expected = fewestFields == mostFields
                                     ? std::to_string(fewestFields)
                                     : std::to_string(fewestFields) + " to " + std::to_string(mostFields);
    throw RoutineError("declared with " + std::to_string(count_) + " fields where " + expected +
                       " are expected (see " + script_ + ")");
  }
}

unsigned MessageLayout::Type(unsigned index) const { return metadata_->getType(status_, index) & ~1u; }

void MessageLayout::Refuse(unsigned index, const char* expected) const {
  throw RoutineError(std::string(metadata_->getField(status_, index)) + " must be declared " + expected + " (see " +
                     script_ + ")");
}

BlobField MessageLayout::Blob(unsigned index) const {
  if (Type(index) != SQL_BLOB) Refuse(index, "BLOB SUB_TYPE TEXT");
  const unsigned charset = metadata_->getCharSet(status_, index) & 0xFF;
  return BlobField{metadata_->getOffset(status_, index), metadata_->getNullOffset(status_, index),
                   charset == kUtf8 || charset == kUnicodeFss ? TextEncoding::kUtf8 : TextEncoding::kSingleByte, charset};
}

DoubleField MessageLayout::Double(unsigned index) const {
  if (Type(index) != SQL_DOUBLE) Refuse(index, "DOUBLE PRECISION");
  return DoubleField{metadata_->getOffset(status_, index), metadata_->getNullOffset(status_, index)};
}

IntegerField MessageLayout::Integer(unsigned index, unsigned sqlType) const {
  if (Type(index) != sqlType || metadata_->getScale(status_, index) != 0) {
    Refuse(index, sqlType == SQL_SHORT ? "SMALLINT" : sqlType == SQL_LONG ? "INTEGER" : "BIGINT");
  }
  return IntegerField{metadata_->getOffset(status_, index), metadata_->getNullOffset(status_, index)};
}

bool MessageLayout::IsChar(unsigned index) const { return Type(index) == SQL_TEXT; }

bool MessageLayout::IsBlob(unsigned index) const { return Type(index) == SQL_BLOB; }

bool MessageLayout::IsSmallint(unsigned index) const { return Type(index) == SQL_SHORT; }

TextField MessageLayout::Varchar(unsigned index, bool allowChar) const {
  const unsigned type = Type(index);
  if (type != SQL_VARYING && !(allowChar && type == SQL_TEXT)) Refuse(index, allowChar ? "VARCHAR or CHAR" : "VARCHAR");
  TextField field;
  field.offset = metadata_->getOffset(status_, index);
  field.nullOffset = metadata_->getNullOffset(status_, index);
  field.capacity = metadata_->getLength(status_, index);
  const unsigned charset = metadata_->getCharSet(status_, index) & 0xFF;
  for (const unsigned multiByte : kOtherMultiByte) {
    if (charset == multiByte) Refuse(index, "in a single-byte character set or UTF8");
  }
  field.encoding = charset == kUtf8 || charset == kUnicodeFss ? TextEncoding::kUtf8 : TextEncoding::kSingleByte;
  field.charset = charset;
  return field;
}

}  // namespace vexa::udr

#include "message_buffer.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <type_traits>

namespace vexa::firebird {
namespace {

// BLOBs are written in segments of this size, so that a large text takes many.
constexpr std::size_t kBlobSegmentBytes = 8192;
constexpr unsigned kBlobReadBytes = 32768;

template <typename T>
T ReadAt(const unsigned char* buffer, unsigned offset) {
  T value;
  std::memcpy(&value, buffer + offset, sizeof value);
  return value;
}

template <typename T>
void WriteAt(unsigned char* buffer, unsigned offset, const T& value) {
  std::memcpy(buffer + offset, &value, sizeof value);
}

ISC_QUAD WriteBlob(const BlobContext& context, const std::string& bytes) {
  ISC_QUAD id{};
  Firebird::IBlob* blob = context.attachment->createBlob(context.status, context.transaction, &id, 0, nullptr);
  try {
    for (std::size_t start = 0; start < bytes.size(); start += kBlobSegmentBytes) {
      const std::size_t length = std::min(kBlobSegmentBytes, bytes.size() - start);
      blob->putSegment(context.status, static_cast<unsigned>(length), bytes.data() + start);
    }
    blob->close(context.status);
  } catch (...) {
    blob->release();
    throw;
  }
  return id;
}

std::string ReadBlob(const BlobContext& context, ISC_QUAD id) {
  Firebird::IBlob* blob = context.attachment->openBlob(context.status, context.transaction, &id, 0, nullptr);
  std::string bytes;
  try {
    std::vector<char> segment(kBlobReadBytes);
    for (;;) {
      unsigned length = 0;
      const int result = blob->getSegment(context.status, kBlobReadBytes, segment.data(), &length);
      if (result != Firebird::IStatus::RESULT_OK && result != Firebird::IStatus::RESULT_SEGMENT) break;
      bytes.append(segment.data(), length);
    }
    blob->close(context.status);
  } catch (...) {
    blob->release();
    throw;
  }
  return bytes;
}

// Sets field `index` of `builder` to the type that carries `parameter`.
void DeclareType(Firebird::ThrowStatusWrapper* status, Firebird::IMetadataBuilder* builder, unsigned index,
                 const Parameter& parameter, unsigned charsetId) {
  if (std::holds_alternative<std::nullptr_t>(parameter)) {
    builder->setType(status, index, SQL_LONG + 1);
    builder->setLength(status, index, sizeof(std::int32_t));
    builder->setScale(status, index, 0);
  } else if (std::holds_alternative<std::int64_t>(parameter)) {
    builder->setType(status, index, SQL_INT64 + 1);
    builder->setLength(status, index, sizeof(std::int64_t));
    builder->setScale(status, index, 0);
  } else if (const auto* text = std::get_if<std::string>(&parameter)) {
    if (text->size() > 32765) throw std::invalid_argument("a VARCHAR parameter holds at most 32765 bytes");
    builder->setType(status, index, SQL_VARYING + 1);
    builder->setLength(status, index, static_cast<unsigned>(text->size()));
    builder->setCharSet(status, index, charsetId);
  } else {
    builder->setType(status, index, SQL_BLOB + 1);
    builder->setLength(status, index, sizeof(ISC_QUAD));
    builder->setSubType(status, index, 1);
    builder->setCharSet(status, index, charsetId);
  }
}

void WriteValue(const BlobContext& context, unsigned char* field, const Parameter& parameter) {
  if (const auto* integer = std::get_if<std::int64_t>(&parameter)) {
    WriteAt(field, 0, *integer);
  } else if (const auto* text = std::get_if<std::string>(&parameter)) {
    WriteAt(field, 0, static_cast<std::uint16_t>(text->size()));
    std::memcpy(field + sizeof(std::uint16_t), text->data(), text->size());
  } else if (const auto* blob = std::get_if<BlobText>(&parameter)) {
    WriteAt(field, 0, WriteBlob(context, blob->bytes));
  }
}

Value ScaledInteger(std::int64_t value, int scale) {
  if (scale == 0) return value;
  return static_cast<double>(value) * std::pow(10.0, scale);
}

}  // namespace

InputMessage::InputMessage(const BlobContext& context, Firebird::IMessageMetadata* declared,
                           const std::vector<Parameter>& parameters, unsigned charsetId) {
  const unsigned count = declared->getCount(context.status);
  if (count != parameters.size()) {
    throw std::invalid_argument("the statement takes " + std::to_string(count) + " parameters, given " +
                                std::to_string(parameters.size()));
  }
  Firebird::IMetadataBuilder* builder = declared->getBuilder(context.status);
  try {
    for (unsigned i = 0; i < count; ++i) DeclareType(context.status, builder, i, parameters[i], charsetId);
    metadata_ = builder->getMetadata(context.status);
  } catch (...) {
    builder->release();
    throw;
  }
  builder->release();

  buffer_.assign(metadata_->getMessageLength(context.status), 0);
  for (unsigned i = 0; i < count; ++i) {
    const bool isNull = std::holds_alternative<std::nullptr_t>(parameters[i]);
    WriteAt(buffer_.data(), metadata_->getNullOffset(context.status, i), static_cast<std::int16_t>(isNull ? -1 : 0));
    if (!isNull) WriteValue(context, buffer_.data() + metadata_->getOffset(context.status, i), parameters[i]);
  }
}

InputMessage::~InputMessage() {
  if (metadata_ != nullptr) metadata_->release();
}

Row ReadRow(const BlobContext& context, Firebird::IMessageMetadata* metadata, const unsigned char* buffer) {
  Firebird::ThrowStatusWrapper* status = context.status;
  const unsigned count = metadata->getCount(status);
  Row row;
  for (unsigned i = 0; i < count; ++i) {
    if (metadata->isNullable(status, i) && ReadAt<std::int16_t>(buffer, metadata->getNullOffset(status, i)) != 0) {
      row.emplace_back(std::monostate());
      continue;
    }
    const unsigned offset = metadata->getOffset(status, i);
    const int scale = metadata->getScale(status, i);
    switch (metadata->getType(status, i) & ~1u) {
      case SQL_TEXT:
        row.emplace_back(std::string(reinterpret_cast<const char*>(buffer + offset), metadata->getLength(status, i)));
        break;
      case SQL_VARYING: {
        const auto length = ReadAt<std::uint16_t>(buffer, offset);
        row.emplace_back(std::string(reinterpret_cast<const char*>(buffer + offset + 2), length));
        break;
      }
      case SQL_SHORT:
        row.push_back(ScaledInteger(ReadAt<std::int16_t>(buffer, offset), scale));
        break;
      case SQL_LONG:
        row.push_back(ScaledInteger(ReadAt<std::int32_t>(buffer, offset), scale));
        break;
      case SQL_INT64:
        row.push_back(ScaledInteger(ReadAt<std::int64_t>(buffer, offset), scale));
        break;
      case SQL_BOOLEAN:
        row.emplace_back(static_cast<std::int64_t>(ReadAt<std::uint8_t>(buffer, offset)));
        break;
      case SQL_FLOAT:
        row.emplace_back(static_cast<double>(ReadAt<float>(buffer, offset)));
        break;
      case SQL_DOUBLE:
        row.emplace_back(ReadAt<double>(buffer, offset));
        break;
      case SQL_BLOB:
        row.emplace_back(ReadBlob(context, ReadAt<ISC_QUAD>(buffer, offset)));
        break;
      default:
        throw std::invalid_argument("column " + std::to_string(i + 1) + " has a type these tests do not read");
    }
  }
  return row;
}

}  // namespace vexa::firebird

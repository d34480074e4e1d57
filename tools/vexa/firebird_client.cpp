#include "tools/vexa/firebird_client.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace vexa::inspector {
namespace {

constexpr unsigned kUtf8CharsetId = 4;
constexpr std::size_t kLongestVarchar = 32765;

Firebird::IMaster* Master() { return Firebird::fb_get_master_interface(); }

FirebirdError ErrorOf(const Firebird::FbException& error) {
  char text[4096];
  Master()->getUtilInterface()->formatStatus(text, sizeof text, error.getStatus());
  return FirebirdError(text);
}

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

Value Scaled(std::int64_t value, int scale) {
  if (scale == 0) return value;
  return static_cast<double>(value) * std::pow(10.0, scale);
}

// Column `i` of the row laid out by `metadata` in `buffer`.
Value ReadColumn(Firebird::ThrowStatusWrapper* status, Firebird::IMessageMetadata* metadata,
                 const unsigned char* buffer, unsigned i) {
  if (metadata->isNullable(status, i) && ReadAt<std::int16_t>(buffer, metadata->getNullOffset(status, i)) != 0) {
    return std::monostate();
  }
  const unsigned offset = metadata->getOffset(status, i);
  const int scale = metadata->getScale(status, i);
  const auto* bytes = reinterpret_cast<const char*>(buffer + offset);
  switch (metadata->getType(status, i) & ~1u) {
    case SQL_TEXT: return std::string(bytes, metadata->getLength(status, i));
    case SQL_VARYING: return std::string(bytes + 2, ReadAt<std::uint16_t>(buffer, offset));
    case SQL_SHORT: return Scaled(ReadAt<std::int16_t>(buffer, offset), scale);
    case SQL_LONG: return Scaled(ReadAt<std::int32_t>(buffer, offset), scale);
    case SQL_INT64: return Scaled(ReadAt<std::int64_t>(buffer, offset), scale);
    case SQL_FLOAT: return static_cast<double>(ReadAt<float>(buffer, offset));
    case SQL_DOUBLE: return ReadAt<double>(buffer, offset);
    default:
      throw FirebirdError("column " + std::string(metadata->getField(status, i)) + " is of a type vexa does not read");
  }
}

// The parameters laid out for a statement that declares `declared`.
struct InputMessage {
  Firebird::IMessageMetadata* metadata = nullptr;
  std::vector<unsigned char> buffer;

  InputMessage(Firebird::ThrowStatusWrapper* status, Firebird::IMessageMetadata* declared,
               const std::vector<Parameter>& parameters) {
    const unsigned count = declared->getCount(status);
    if (count != parameters.size()) throw std::logic_error("a statement given the wrong number of parameters");
    Firebird::IMetadataBuilder* builder = declared->getBuilder(status);
    try {
      for (unsigned i = 0; i < count; ++i) {
        if (const auto* text = std::get_if<std::string>(&parameters[i])) {
          if (text->size() > kLongestVarchar) throw FirebirdError("a parameter longer than a VARCHAR holds");
          builder->setType(status, i, SQL_VARYING);
          builder->setLength(status, i, static_cast<unsigned>(text->size()));
          builder->setCharSet(status, i, kUtf8CharsetId);
        } else {
          builder->setType(status, i, SQL_INT64);
          builder->setLength(status, i, sizeof(std::int64_t));
          builder->setScale(status, i, 0);
        }
      }
      metadata = builder->getMetadata(status);
    } catch (...) {
      builder->release();
      throw;
    }
    builder->release();
    buffer.assign(metadata->getMessageLength(status), 0);
    for (unsigned i = 0; i < count; ++i) {
      WriteAt(buffer.data(), metadata->getNullOffset(status, i), static_cast<std::int16_t>(0));
      unsigned char* field = buffer.data() + metadata->getOffset(status, i);
      if (const auto* text = std::get_if<std::string>(&parameters[i])) {
        WriteAt(field, 0, static_cast<std::uint16_t>(text->size()));
        std::memcpy(field + 2, text->data(), text->size());
      } else {
        WriteAt(field, 0, std::get<std::int64_t>(parameters[i]));
      }
    }
  }
  ~InputMessage() {
    if (metadata != nullptr) metadata->release();
  }
  InputMessage(const InputMessage&) = delete;
  InputMessage& operator=(const InputMessage&) = delete;
};

}  // namespace

bool IsNull(const Value& value) { return std::holds_alternative<std::monostate>(value); }

std::int64_t IntegerOf(const Value& value) {
  if (const auto* integer = std::get_if<std::int64_t>(&value)) return *integer;
  if (const auto* number = std::get_if<double>(&value)) return static_cast<std::int64_t>(std::llround(*number));
  return 0;
}

double NumberOf(const Value& value) {
  if (const auto* number = std::get_if<double>(&value)) return *number;
  return static_cast<double>(IntegerOf(value));
}

std::string TextOf(const Value& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  if (const auto* integer = std::get_if<std::int64_t>(&value)) return std::to_string(*integer);
  if (const auto* number = std::get_if<double>(&value)) return std::to_string(*number);
  return "";
}

Connection::Connection(const ConnectionOptions& options)
    : statusInterface_(Master()->getStatus()), status_(statusInterface_) {
  Firebird::IXpbBuilder* dpb = nullptr;
  Firebird::IXpbBuilder* tpb = nullptr;
  try {
    Firebird::IUtil* util = Master()->getUtilInterface();
    dpb = util->getXpbBuilder(&status_, Firebird::IXpbBuilder::DPB, nullptr, 0);
    dpb->insertString(&status_, isc_dpb_lc_ctype, "UTF8");
    if (!options.user.empty()) dpb->insertString(&status_, isc_dpb_user_name, options.user.c_str());
    if (!options.password.empty()) dpb->insertString(&status_, isc_dpb_password, options.password.c_str());
    attachment_ = Master()->getDispatcher()->attachDatabase(&status_, options.database.c_str(),
                                                            dpb->getBufferLength(&status_), dpb->getBuffer(&status_));
    tpb = util->getXpbBuilder(&status_, Firebird::IXpbBuilder::TPB, nullptr, 0);
    tpb->insertTag(&status_, isc_tpb_write);
    tpb->insertTag(&status_, isc_tpb_wait);
    tpb->insertTag(&status_, isc_tpb_read_committed);
    tpb->insertTag(&status_, isc_tpb_rec_version);
    transaction_ = attachment_->startTransaction(&status_, tpb->getBufferLength(&status_), tpb->getBuffer(&status_));
  } catch (const Firebird::FbException& error) {
    const FirebirdError failure = ErrorOf(error);
    if (dpb != nullptr) dpb->dispose();
    if (tpb != nullptr) tpb->dispose();
    if (attachment_ != nullptr) attachment_->release();
    statusInterface_->dispose();
    throw failure;
  }
  dpb->dispose();
  tpb->dispose();
}

Connection::~Connection() {
  try {
    if (transaction_ != nullptr) transaction_->rollback(&status_);
  } catch (const Firebird::FbException&) {
    transaction_->release();
  }
  try {
    attachment_->detach(&status_);
  } catch (const Firebird::FbException&) {
    attachment_->release();
  }
  statusInterface_->dispose();
}

Cursor Connection::Open(const std::string& sql, const std::vector<Parameter>& parameters) {
  if (transaction_ == nullptr) throw std::logic_error("the transaction has ended");
  return Cursor(*this, sql, parameters);
}

std::vector<Row> Connection::All(const std::string& sql, const std::vector<Parameter>& parameters) {
  Cursor cursor = Open(sql, parameters);
  std::vector<Row> rows;
  while (std::optional<Row> row = cursor.Next()) rows.push_back(std::move(*row));
  return rows;
}

void Connection::Commit() {
  if (transaction_ == nullptr) throw std::logic_error("the transaction has ended");
  try {
    transaction_->commit(&status_);
    transaction_ = nullptr;
  } catch (const Firebird::FbException& error) {
    throw ErrorOf(error);
  }
}

Cursor::Cursor(Connection& connection, const std::string& sql, const std::vector<Parameter>& parameters)
    : connection_(&connection) {
  Firebird::ThrowStatusWrapper* status = &connection.status_;
  try {
    statement_ = connection.attachment_->prepare(status, connection.transaction_, 0, sql.c_str(), SQL_DIALECT_V6,
                                                 Firebird::IStatement::PREPARE_PREFETCH_METADATA);
    output_ = statement_->getOutputMetadata(status);
    buffer_.assign(output_->getMessageLength(status), 0);
    Firebird::IMessageMetadata* declared = statement_->getInputMetadata(status);
    try {
      InputMessage input(status, declared, parameters);
      rows_ = statement_->openCursor(status, connection.transaction_, input.metadata, input.buffer.data(), output_, 0);
    } catch (...) {
      declared->release();
      throw;
    }
    declared->release();
  } catch (const Firebird::FbException& error) {
    const FirebirdError failure = ErrorOf(error);
    Release();
    throw failure;
  } catch (...) {
    Release();
    throw;
  }
}

Cursor::Cursor(Cursor&& other) noexcept
    : connection_(other.connection_),
      statement_(std::exchange(other.statement_, nullptr)),
      output_(std::exchange(other.output_, nullptr)),
      rows_(std::exchange(other.rows_, nullptr)),
      buffer_(std::move(other.buffer_)) {}

Cursor::~Cursor() { Release(); }

void Cursor::Release() {
  if (rows_ != nullptr) rows_->release();
  if (output_ != nullptr) output_->release();
  if (statement_ != nullptr) statement_->release();
  rows_ = nullptr;
  output_ = nullptr;
  statement_ = nullptr;
}

std::optional<Row> Cursor::Next() {
  if (rows_ == nullptr) return std::nullopt;
  Firebird::ThrowStatusWrapper* status = &connection_->status_;
  try {
    if (rows_->fetchNext(status, buffer_.data()) != Firebird::IStatus::RESULT_OK) {
      rows_->close(status);
      rows_ = nullptr;
      return std::nullopt;
    }
    Row row;
    const unsigned count = output_->getCount(status);
    for (unsigned i = 0; i < count; ++i) row.push_back(ReadColumn(status, output_, buffer_.data(), i));
    return row;
  } catch (const Firebird::FbException& error) {
    throw ErrorOf(error);
  }
}

}  // namespace vexa::inspector

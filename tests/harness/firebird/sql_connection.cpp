#include "sql_connection.h"

#include <stdexcept>

#include "firebird_error.h"
#include "message_buffer.h"

namespace vexa::firebird {
namespace {

unsigned CharsetId(const std::string& name) {
  if (name == "NONE") return 0;
  if (name == "UTF8") return 4;
  if (name == "WIN1251") return 52;
  throw std::invalid_argument("no character set id known for " + name);
}

Firebird::IMaster* Master() { return Firebird::fb_get_master_interface(); }

// The statement's rows: a cursor for a SELECT, the single row of an
// EXECUTE PROCEDURE, nothing else.
std::vector<Row> Execute(const BlobContext& context, Firebird::IStatement* statement, InputMessage& input) {
  Firebird::ThrowStatusWrapper* status = context.status;
  std::vector<Row> rows;
  Firebird::IMessageMetadata* output = statement->getOutputMetadata(status);
  try {
    std::vector<unsigned char> buffer(output->getMessageLength(status));
    const unsigned type = statement->getType(status);
    if (type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd) {
      Firebird::IResultSet* cursor =
          statement->openCursor(status, context.transaction, input.Metadata(), input.Buffer(), output, 0);
      try {
        while (cursor->fetchNext(status, buffer.data()) == Firebird::IStatus::RESULT_OK) {
          rows.push_back(ReadRow(context, output, buffer.data()));
        }
        cursor->close(status);
      } catch (...) {
        cursor->release();
        throw;
      }
    } else {
      const bool hasRow = output->getCount(status) > 0;
      statement->execute(status, context.transaction, input.Metadata(), input.Buffer(), hasRow ? output : nullptr,
                         hasRow ? buffer.data() : nullptr);
      if (hasRow) rows.push_back(ReadRow(context, output, buffer.data()));
    }
  } catch (...) {
    output->release();
    throw;
  }
  output->release();
  return rows;
}

}  // namespace

Connection::Connection(const ConnectionOptions& options)
    : statusInterface_(Master()->getStatus()), status_(statusInterface_), charsetId_(CharsetId(options.charset)) {
  try {
    Firebird::IXpbBuilder* dpb =
        Master()->getUtilInterface()->getXpbBuilder(&status_, Firebird::IXpbBuilder::DPB, nullptr, 0);
    try {
      dpb->insertString(&status_, isc_dpb_lc_ctype, options.charset.c_str());
      if (!options.user.empty()) dpb->insertString(&status_, isc_dpb_user_name, options.user.c_str());
      if (!options.password.empty()) dpb->insertString(&status_, isc_dpb_password, options.password.c_str());
      attachment_ = Master()->getDispatcher()->attachDatabase(&status_, options.database.c_str(),
                                                              dpb->getBufferLength(&status_), dpb->getBuffer(&status_));
    } catch (...) {
      dpb->dispose();
      throw;
    }
    dpb->dispose();
  } catch (const Firebird::FbException& error) {
    statusInterface_->dispose();
    ThrowFirebirdError(error, "attach " + options.database);
  }
}

Connection::~Connection() {
  if (attachment_ != nullptr) {
    try {
      Detach();
    } catch (const FirebirdError&) {
      attachment_->release();
    }
  }
  statusInterface_->dispose();
}

void Connection::Detach() {
  if (attachment_ == nullptr) return;
  try {
    attachment_->detach(&status_);
    attachment_ = nullptr;
  } catch (const Firebird::FbException& error) {
    ThrowFirebirdError(error, "detach");
  }
}

std::vector<Row> Connection::Run(Transaction& transaction, const std::string& sql,
                                 const std::vector<Parameter>& parameters) {
  if (attachment_ == nullptr) throw std::logic_error("not attached");
  try {
    Firebird::IStatement* statement = attachment_->prepare(&status_, transaction.Handle(), 0, sql.c_str(),
                                                           SQL_DIALECT_V6, Firebird::IStatement::PREPARE_PREFETCH_METADATA);
    std::vector<Row> rows;
    try {
      const BlobContext context{&status_, attachment_, transaction.Handle()};
      Firebird::IMessageMetadata* declared = statement->getInputMetadata(&status_);
      try {
        InputMessage input(context, declared, parameters, charsetId_);
        rows = Execute(context, statement, input);
      } catch (...) {
        declared->release();
        throw;
      }
      declared->release();
      statement->free(&status_);
    } catch (...) {
      statement->release();
      throw;
    }
    return rows;
  } catch (const Firebird::FbException& error) {
    ThrowFirebirdError(error, sql);
  }
}

std::vector<Row> Connection::RunCommitted(const std::string& sql, const std::vector<Parameter>& parameters) {
  Transaction transaction(*this);
  std::vector<Row> rows = Run(transaction, sql, parameters);
  transaction.Commit();
  return rows;
}

Transaction::Transaction(Connection& connection, Isolation isolation, std::chrono::seconds lockTimeout)
    : connection_(connection) {
  if (connection.attachment_ == nullptr) throw std::logic_error("not attached");
  Firebird::ThrowStatusWrapper* status = &connection.status_;
  try {
    Firebird::IXpbBuilder* tpb = Master()->getUtilInterface()->getXpbBuilder(status, Firebird::IXpbBuilder::TPB, nullptr, 0);
    try {
      tpb->insertTag(status, isolation == Isolation::kReadOnlyReadCommitted ? isc_tpb_read : isc_tpb_write);
      tpb->insertTag(status, isc_tpb_wait);
      tpb->insertInt(status, isc_tpb_lock_timeout, static_cast<int>(lockTimeout.count()));
      if (isolation != Isolation::kSnapshot) {
        tpb->insertTag(status, isc_tpb_read_committed);
        tpb->insertTag(status, isc_tpb_rec_version);
      } else {
        tpb->insertTag(status, isc_tpb_concurrency);
      }
      handle_ = connection.attachment_->startTransaction(status, tpb->getBufferLength(status), tpb->getBuffer(status));
    } catch (...) {
      tpb->dispose();
      throw;
    }
    tpb->dispose();
  } catch (const Firebird::FbException& error) {
    ThrowFirebirdError(error, "start transaction");
  }
}

Transaction::~Transaction() {
  if (handle_ == nullptr) return;
  try {
    Rollback();
  } catch (const FirebirdError&) {
    handle_->release();
  }
}

void Transaction::Commit() {
  if (handle_ == nullptr) throw std::logic_error("the transaction has ended");
  try {
    handle_->commit(&connection_.status_);
    handle_ = nullptr;
  } catch (const Firebird::FbException& error) {
    ThrowFirebirdError(error, "commit");
  }
}

void Transaction::Rollback() {
  if (handle_ == nullptr) return;
  try {
    handle_->rollback(&connection_.status_);
    handle_ = nullptr;
  } catch (const Firebird::FbException& error) {
    ThrowFirebirdError(error, "rollback");
  }
}

}  // namespace vexa::firebird

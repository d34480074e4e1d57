// One attachment to a database through the OO API (embedded, or a server
// by host/port:path), its transactions, and statements with parameters.
// One Connection is used by one thread at a time.
#pragma once

#include <firebird/Interface.h>

#include <chrono>
#include <string>
#include <vector>

#include "sql_value.h"

namespace vexa::firebird {

struct ConnectionOptions {
  std::string database;  // a file (embedded) or host/port:file (a server)
  std::string charset = "WIN1251";
  std::string user;  // empty: the embedded engine's own user
  std::string password;
};

// kReadOnlyReadCommitted: READ ONLY READ COMMITTED, as a search-only client
// starts it (the server takes it as "precommitted").
enum class Isolation { kReadCommitted, kSnapshot, kReadOnlyReadCommitted };

class Transaction;

class Connection {
 public:
  explicit Connection(const ConnectionOptions& options);
  // Detaches, when still attached; errors are ignored here.
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Detaches now; throws FirebirdError when the engine refuses.
  void Detach();

  // Runs `sql` in `transaction`; returns the rows of a SELECT or of
  // EXECUTE PROCEDURE, none for other statements.
  std::vector<Row> Run(Transaction& transaction, const std::string& sql, const std::vector<Parameter>& parameters = {});

  // Runs `sql` in a READ COMMITTED transaction of its own and commits.
  std::vector<Row> RunCommitted(const std::string& sql, const std::vector<Parameter>& parameters = {});

 private:
  friend class Transaction;

  Firebird::IStatus* statusInterface_;
  Firebird::ThrowStatusWrapper status_;
  Firebird::IAttachment* attachment_ = nullptr;
  unsigned charsetId_ = 0;
};

class Transaction {
 public:
  // Starts a WAIT transaction; a lock is waited for at most `lockTimeout`.
  explicit Transaction(Connection& connection, Isolation isolation = Isolation::kReadCommitted,
                       std::chrono::seconds lockTimeout = std::chrono::seconds(30));
  // Rolls back, when neither committed nor rolled back; errors are ignored.
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  void Commit();
  void Rollback();

  Firebird::ITransaction* Handle() const { return handle_; }

 private:
  Connection& connection_;
  Firebird::ITransaction* handle_ = nullptr;
};

}  // namespace vexa::firebird

// A client attachment to a Firebird database through the client library's
// OO API: one transaction, statements with parameters, and their rows read
// one at a time through a message laid out by each statement's output
// metadata.
#pragma once

#include <firebird/Interface.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace vexa::inspector {

// What the server said, formatted as Firebird's own tools print it.
class FirebirdError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A parameter: BIGINT or VARCHAR (UTF-8).
using Parameter = std::variant<std::int64_t, std::string>;

// A column's value: NULL, any integer, any floating-point number, or text
// (CHAR and VARCHAR, in UTF-8).
using Value = std::variant<std::monostate, std::int64_t, double, std::string>;
using Row = std::vector<Value>;

bool IsNull(const Value& value);
// What a column holds as an integer, a number or text; a NULL is 0 or "".
std::int64_t IntegerOf(const Value& value);
double NumberOf(const Value& value);
std::string TextOf(const Value& value);

struct ConnectionOptions {
  std::string database;  // a file (embedded) or host/port:file (a server)
  std::string user;      // empty: none given (the embedded engine's own user)
  std::string password;
};

class Cursor;

// One attachment, character set UTF8, with one READ COMMITTED transaction
// started when it attaches. Rolled back and detached when destroyed, unless
// committed.
class Connection {
 public:
  explicit Connection(const ConnectionOptions& options);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // The rows of `sql`, one at a time.
  Cursor Open(const std::string& sql, const std::vector<Parameter>& parameters = {});
  // Every row of `sql`.
  std::vector<Row> All(const std::string& sql, const std::vector<Parameter>& parameters = {});
  // Commits the transaction; nothing may run after it.
  void Commit();

 private:
  friend class Cursor;
  Firebird::IStatus* statusInterface_;
  Firebird::ThrowStatusWrapper status_;
  Firebird::IAttachment* attachment_ = nullptr;
  Firebird::ITransaction* transaction_ = nullptr;
};

// The open rows of one statement; closed when destroyed.
class Cursor {
 public:
  ~Cursor();
  Cursor(Cursor&& other) noexcept;
  Cursor(const Cursor&) = delete;
  Cursor& operator=(const Cursor&) = delete;
  Cursor& operator=(Cursor&&) = delete;

  // The next row; none after the last.
  std::optional<Row> Next();

 private:
  friend class Connection;
  Cursor(Connection& connection, const std::string& sql, const std::vector<Parameter>& parameters);
  void Release();

  Connection* connection_;
  Firebird::IStatement* statement_ = nullptr;
  Firebird::IMessageMetadata* output_ = nullptr;
  Firebird::IResultSet* rows_ = nullptr;
  std::vector<unsigned char> buffer_;
};

}  // namespace vexa::inspector

// Errors of the Firebird OO API as C++ exceptions: Firebird::FbException is
// no std::exception, so every call into the API turns it into a
// FirebirdError that keeps the message and the error codes.
#pragma once

#include <firebird/Interface.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace vexa::firebird {

class FirebirdError : public std::runtime_error {
 public:
  FirebirdError(const std::string& message, std::vector<std::intptr_t> codes)
      : std::runtime_error(message), codes_(std::move(codes)) {}

  const std::vector<std::intptr_t>& Codes() const { return codes_; }
  bool Has(std::intptr_t code) const;
  // A deadlock, an update conflict, a lock conflict or a lock wait that
  // timed out: the transaction may be rolled back and tried again.
  bool IsConflict() const;

 private:
  std::vector<std::intptr_t> codes_;
};

// Throws a FirebirdError with `context` and the status' text and codes.
[[noreturn]] void ThrowFirebirdError(const Firebird::FbException& error, const std::string& context);

}  // namespace vexa::firebird

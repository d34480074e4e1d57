#include "firebird_error.h"

#include <algorithm>

namespace vexa::firebird {
namespace {

// The codes of a status vector: pairs of an argument type and its value,
// isc_arg_cstring taking two values, up to isc_arg_end.
std::vector<std::intptr_t> ErrorCodes(const std::intptr_t* vector) {
  std::vector<std::intptr_t> codes;
  while (vector != nullptr && *vector != isc_arg_end) {
    const std::intptr_t type = *vector++;
    if (type == isc_arg_gds) codes.push_back(*vector);
    vector += type == isc_arg_cstring ? 2 : 1;
  }
  return codes;
}

std::string StatusText(Firebird::IStatus* status) {
  char buffer[2048];
  Firebird::fb_get_master_interface()->getUtilInterface()->formatStatus(buffer, sizeof buffer, status);
  return buffer;
}

}  // namespace

bool FirebirdError::Has(std::intptr_t code) const {
  return std::find(codes_.begin(), codes_.end(), code) != codes_.end();
}

bool FirebirdError::IsConflict() const {
  return Has(isc_deadlock) || Has(isc_update_conflict) || Has(isc_lock_conflict) || Has(isc_lock_timeout);
}

void ThrowFirebirdError(const Firebird::FbException& error, const std::string& context) {
  Firebird::IStatus* status = error.getStatus();
  throw FirebirdError(context + ": " + StatusText(status), ErrorCodes(status->getErrors()));
}

}  // namespace vexa::firebird

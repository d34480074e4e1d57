// Firebird's C++ interfaces for external routines, with the status wrapper
// that turns a failed call into a Firebird::FbException, as this module uses
// them throughout.
#pragma once

#define FB_UDR_STATUS_TYPE ::Firebird::ThrowStatusWrapper
#include <firebird/UdrCppEngine.h>

namespace vexa::udr {

using Status = Firebird::ThrowStatusWrapper;

// Holds an interface the engine handed out and releases it when it goes.
template <typename Interface>
class Released {
 public:
  explicit Released(Interface* pointer) : pointer_(pointer) {}
  ~Released() {
    if (pointer_ != nullptr) pointer_->release();
  }
  Released(const Released&) = delete;
  Released& operator=(const Released&) = delete;

  Interface* operator->() const { return pointer_; }
  Interface* Get() const { return pointer_; }

 private:
  Interface* pointer_;
};

}  // namespace vexa::udr

// A page of memory that may be neither read nor written: a pointer into it
// passed as an argument shows, by a crash, that the callee read it.
#pragma once

namespace vexa::test {

class GuardPage {
 public:
  GuardPage();
  ~GuardPage();
  GuardPage(const GuardPage&) = delete;
  GuardPage& operator=(const GuardPage&) = delete;

  template <typename T>
  const T* As() const {
    return static_cast<const T*>(address_);
  }

 private:
  void* address_;
  unsigned long size_;
};

}  // namespace vexa::test

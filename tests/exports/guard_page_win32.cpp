#include <windows.h>

#include <stdexcept>

#include "guard_page.h"

namespace vexa::test {

GuardPage::GuardPage() {
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  size_ = system.dwPageSize;
  address_ = VirtualAlloc(nullptr, size_, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS);
  if (address_ == nullptr) throw std::runtime_error("VirtualAlloc of a guard page failed");
}

GuardPage::~GuardPage() { VirtualFree(address_, 0, MEM_RELEASE); }

}  // namespace vexa::test

#include "guard_page.h"

#include <sys/mman.h>
#include <unistd.h>

#include <stdexcept>

namespace vexa::test {

GuardPage::GuardPage() : size_(static_cast<unsigned long>(sysconf(_SC_PAGESIZE))) {
  address_ = mmap(nullptr, size_, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (address_ == MAP_FAILED) throw std::runtime_error("mmap of a guard page failed");
}

GuardPage::~GuardPage() { munmap(address_, size_); }

}  // namespace vexa::test

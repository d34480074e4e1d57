#include "frame/handle_table.h"

#include <new>

namespace vexa {

std::int32_t HandleTable::Create(bool isQuery, const TEngineSettings& settings) {
  platform::MutexGuard guard(lock_);
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    if (slots_[i].load(std::memory_order_relaxed) != nullptr) continue;
    auto* parser = new (std::nothrow) TParser(isQuery, settings);
    if (parser == nullptr) return 0;
    slots_[i].store(parser, std::memory_order_release);
    return static_cast<std::int32_t>(i + 1);
  }
  return 0;
}

std::int32_t HandleTable::Free(std::int32_t handle) {
  if (!InRange(handle)) return 0;
  platform::MutexGuard guard(lock_);
  delete slots_[static_cast<std::size_t>(handle - 1)].exchange(nullptr, std::memory_order_acq_rel);
  return 1;
}

void HandleTable::DestroyAll() {
  platform::MutexGuard guard(lock_);
  for (auto& slot : slots_) delete slot.exchange(nullptr, std::memory_order_acq_rel);
}

}  // namespace vexa

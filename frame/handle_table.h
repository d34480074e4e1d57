// The parser handle table: 1024 slots, handle n naming slot n. Creating and
// freeing take the table's lock; finding a parser does not, since one handle
// is used by one caller at a time and is not freed while a call on it runs.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "config/engine_settings.h"
#include "parser/parser.h"
#include "platform/mutex.h"

namespace vexa {

class HandleTable {
 public:
  static constexpr std::int32_t kSlotCount = 1024;

  HandleTable() = default;
  HandleTable(const HandleTable&) = delete;
  HandleTable& operator=(const HandleTable&) = delete;
  ~HandleTable() { DestroyAll(); }

  // A new parser in the lowest empty slot: its handle, or 0 when every slot
  // is in use or the parser could not be made.
  std::int32_t Create(bool isQuery, const TEngineSettings& settings);

  // Destroys the parser of a slot and empties it: 1, also for an empty slot;
  // 0 when the handle lies outside 1..1024.
  std::int32_t Free(std::int32_t handle);

  // The parser of a good handle, or null.
  TParser* Find(std::int32_t handle) const {
    if (!InRange(handle)) return nullptr;
    return slots_[static_cast<std::size_t>(handle - 1)].load(std::memory_order_acquire);
  }

  // Destroys every parser, slot 1 to 1024.
  void DestroyAll();

 private:
  static bool InRange(std::int32_t handle) { return handle >= 1 && handle <= kSlotCount; }

  platform::Mutex lock_;
  std::array<std::atomic<TParser*>, kSlotCount> slots_{};
};

}  // namespace vexa

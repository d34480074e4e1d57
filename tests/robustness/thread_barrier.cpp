#include "thread_barrier.h"

namespace vexa::test {

void ThreadBarrier::ArriveAndWait() {
  std::unique_lock<std::mutex> lock(mutex_);
  const std::size_t generation = generation_;
  if (++waiting_ == count_) {
    waiting_ = 0;
    ++generation_;
    allArrived_.notify_all();
    return;
  }
  allArrived_.wait(lock, [&] { return generation_ != generation; });
}

}  // namespace vexa::test

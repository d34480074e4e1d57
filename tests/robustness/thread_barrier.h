// A reusable barrier: every one of `count` threads waits until all of them
// have arrived, then all go on together, as often as they like.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace vexa::test {

class ThreadBarrier {
 public:
  explicit ThreadBarrier(std::size_t count) : count_(count) {}

  void ArriveAndWait();

 private:
  std::mutex mutex_;
  std::condition_variable allArrived_;
  const std::size_t count_;
  std::size_t waiting_ = 0;
  std::size_t generation_ = 0;
};

}  // namespace vexa::test

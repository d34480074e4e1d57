// Failures seen on worker threads, collected for the test's own thread to
// report: a worker records what it saw and carries on or stops, and the test
// checks the log once every thread has been joined.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace vexa::test {

class FailureLog {
 public:
  // Keeps the first few messages and counts the rest.
  void Record(const std::string& message);

  std::size_t Count() const;
  // The messages kept, one a line, and how many more there were.
  std::string Summary() const;

 private:
  static constexpr std::size_t kKeptMessages = 20;

  mutable std::mutex mutex_;
  std::vector<std::string> messages_;
  std::size_t count_ = 0;
};

}  // namespace vexa::test

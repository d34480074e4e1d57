#include "failure_log.h"

namespace vexa::test {

void FailureLog::Record(const std::string& message) {
  const std::lock_guard<std::mutex> lock(mutex_);
  ++count_;
  if (messages_.size() < kKeptMessages) messages_.push_back(message);
}

std::size_t FailureLog::Count() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return count_;
}

std::string FailureLog::Summary() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  std::string summary;
  for (const std::string& message : messages_) summary += message + "\n";
  if (count_ > messages_.size()) summary += "... and " + std::to_string(count_ - messages_.size()) + " more\n";
  return summary;
}

}  // namespace vexa::test

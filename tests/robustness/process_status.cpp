#include "process_status.h"

#include <fstream>
#include <string>

namespace vexa_test {

std::size_t ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stoul(line.substr(6));
  }
  return 0;
}

std::size_t OpenFileCount() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count - 1;
}

bool IsMapped(const std::filesystem::path& file) {
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);) {
    const std::size_t pathStart = line.find('/');
    if (pathStart != std::string::npos && line.compare(pathStart, std::string::npos, file.string()) == 0) return true;
  }
  return false;
}

}  // namespace vexa_test

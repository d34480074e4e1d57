#include <unistd.h>

#include <stdexcept>

#include "unreadable_file.h"

namespace vexa_test {

UnreadableFile::UnreadableFile(const std::string& path) {
  if (symlink("/proc/self/mem", path.c_str()) != 0) throw std::runtime_error("cannot link " + path);
}

UnreadableFile::~UnreadableFile() = default;

}  // namespace vexa_test

#include <unistd.h>

#include <stdexcept>

#include "unreadable_file.h"

namespace vexa::test {

struct UnreadableFile::Hold {
  std::string link;
};

UnreadableFile::UnreadableFile(const std::string& path) : hold_(new Hold{path}) {
  if (symlink("/proc/self/mem", path.c_str()) != 0) throw std::runtime_error("cannot link " + path);
}

UnreadableFile::~UnreadableFile() { unlink(hold_->link.c_str()); }

}  // namespace vexa::test

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/platform.h"

namespace vexa::platform {
namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& contents) {
  contents.clear();
  const FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) return false;
  char chunk[65536];
  bool ok = true;
  for (;;) {
    const ssize_t got = read(file.get(), chunk, sizeof chunk);
    if (got > 0) {
      contents.append(chunk, static_cast<std::size_t>(got));
    } else if (got == 0) {
      break;
    } else if (errno != EINTR) {
      ok = false;
      break;
    }
  }
  if (!ok) contents.clear();
  return ok;
}

}  // namespace vexa::platform

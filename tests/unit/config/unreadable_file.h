// A file that exists, as a regular file, but whose reading fails: for a test
// of what a reader does when a file it found cannot be read.
#pragma once

#include <memory>
#include <string>

namespace vexa::test {

class UnreadableFile {
 public:
  // Makes `path`, which must not exist yet, such a file for as long as the
  // object lives: on POSIX a link to the process's own memory at address 0
  // (whose first read fails, even for root), on Windows a file held open
  // with no sharing.
  explicit UnreadableFile(const std::string& path);
  ~UnreadableFile();
  UnreadableFile(const UnreadableFile&) = delete;
  UnreadableFile& operator=(const UnreadableFile&) = delete;

 private:
  struct Hold;  // what keeps it unreadable, on each system
  std::unique_ptr<Hold> hold_;
};

}  // namespace vexa::test

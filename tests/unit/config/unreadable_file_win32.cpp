#include <windows.h>

#include <stdexcept>

#include "unreadable_file.h"

namespace vexa::test {

struct UnreadableFile::Hold {
  HANDLE file;
};

UnreadableFile::UnreadableFile(const std::string& path) {
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + path);
  DWORD written = 0;
  WriteFile(file, "the\r\n", 5, &written, nullptr);
  hold_.reset(new Hold{file});
}

UnreadableFile::~UnreadableFile() { CloseHandle(hold_->file); }

}  // namespace vexa::test

#include <windows.h>

#include <string>

#include "platform/platform.h"

namespace vexa::platform {
namespace {

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (IsOpen()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& contents) {
  contents.clear();
  // Others may read the file meanwhile, but not write it.
  const FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.IsOpen()) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0) return false;
  if (static_cast<unsigned long long>(size.QuadPart) > contents.max_size()) return false;
  contents.resize(static_cast<std::size_t>(size.QuadPart));

  std::size_t done = 0;
  while (done < contents.size()) {
    const std::size_t left = contents.size() - done;
    const DWORD wanted = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    DWORD read = 0;
    if (!ReadFile(file.Get(), contents.data() + done, wanted, &read, nullptr)) {
      contents.clear();
      return false;
    }
    if (read == 0) break;  // the file shrank while it was read
    done += read;
  }
  contents.resize(done);
  return true;
}

}  // namespace vexa::platform

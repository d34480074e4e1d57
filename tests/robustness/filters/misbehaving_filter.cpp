// A word filter that breaks the rules a filter should keep, chosen by the
// word it gets:
//   UNTERMINATED...  fills the whole 256-byte buffer and writes no NUL;
//   EMPTY...         leaves the empty word;
//   LONGEST...       lengthens the word to the most a buffer holds, 255 bytes;
// and leaves every other word as it is.
#include <cstring>

namespace {

constexpr std::size_t kBufferSize = 256;

bool StartsWith(const char* word, const char* prefix) { return std::strncmp(word, prefix, std::strlen(prefix)) == 0; }

}  // namespace

extern "C" __attribute__((visibility("default"))) void ProcessWord(char* word) {
  if (StartsWith(word, "UNTERMINATED")) {
    std::memset(word, 'Z', kBufferSize);
  } else if (StartsWith(word, "EMPTY")) {
    word[0] = '\0';
  } else if (StartsWith(word, "LONGEST")) {
    std::memset(word, 'L', kBufferSize - 1);
    word[kBufferSize - 1] = '\0';
  }
}

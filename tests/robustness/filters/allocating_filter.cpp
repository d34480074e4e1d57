// A word filter that works on a heap copy of the word, as a stemmer with
// buffers of its own would, and writes it back unchanged. Where the process
// is out of memory it fails with std::bad_alloc, out of the plug-in and into
// the module.
#include <cstring>
#include <vector>

extern "C" __attribute__((visibility("default"))) void ProcessWord(char* word) {
  const std::vector<char> copy(word, word + std::strlen(word) + 1);
  std::memcpy(word, copy.data(), copy.size());
}

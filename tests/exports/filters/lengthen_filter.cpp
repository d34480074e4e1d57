// A word filter that lengthens every word by "+MORE" and writes small letters.
#include <cstring>

extern "C" __attribute__((visibility("default"))) void ProcessWord(char* word) {
  std::strcat(word, "+more");
}

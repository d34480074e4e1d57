// A word filter that appends one '*' per call, so that a word shows how many
// times it passed.
#include <cstring>

extern "C" __attribute__((visibility("default"))) void ProcessWord(char* word) { std::strcat(word, "*"); }

// A word filter that appends one '*' per call, so that a word shows how many
// times it passed.
#include <cstring>

#include "filter_entry.h"

VEXA_FILTER_ENTRY ProcessWord(char* word) { std::strcat(word, "*"); }

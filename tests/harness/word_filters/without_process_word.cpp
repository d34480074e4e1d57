// A library that looks like a word filter but exports no ProcessWord: only
// names that differ from it in case or by a letter.
#include "filter_entry.h"

VEXA_FILTER_ENTRY processword(char* word) { word[0] = '\0'; }
VEXA_FILTER_ENTRY ProcessWords(char* word) { word[0] = '\0'; }

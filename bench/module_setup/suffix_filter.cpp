// SuffixFilter.so: a word filter plug-in for the module, loaded when its
// file name is a key of the [Filters] section of Vexa.ini. It strips one
// English suffix from each ordinary word (english_suffixes.h). It keeps no
// state, so the module may call it from several threads at once.
#include "bench/module_setup/english_suffixes.h"

extern "C" void ProcessWord(char* word) { vexa::bench::StripEnglishSuffix(word); }

// A library that looks like a word filter but exports no ProcessWord: only
// names that differ from it in case or by a letter.
extern "C" __attribute__((visibility("default"))) void processword(char* word) { word[0] = '\0'; }
extern "C" __attribute__((visibility("default"))) void ProcessWords(char* word) { word[0] = '\0'; }

// Upper-casing of corpus words as the module does it under its code page
// Windows-1251: a..z to A..Z, а..я to А..Я, ё to Ё, and the other Cyrillic
// letters of the code page to their capitals.
#pragma once

#include <string>

namespace vexa::bench {

std::string UpperCase1251(std::string text);

// True when upper-casing would leave `text` as it is.
bool IsWrittenInCapitals(const std::string& text);

}  // namespace vexa::bench

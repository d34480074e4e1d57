// The Vexa.ini that the benchmark puts beside the module: the module's
// built-in settings, with the Cyrillic letters of Windows-1251 added to the
// word characters, as a server whose databases hold Russian text in that code
// page is set up. English text parses exactly as with the built-in settings.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vexa::bench {

// The MinWordLen it sets, the built-in one.
inline constexpr std::size_t kMinWordLength = 2;

// With a [Filters] section naming each of `filterLibraryNames` (file names,
// looked for beside the module) when there are any.
std::string Windows1251ModuleIni(const std::vector<std::string>& filterLibraryNames);

}  // namespace vexa::bench

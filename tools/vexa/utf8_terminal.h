// Whether standard output is a terminal, and one that shows UTF-8.
#pragma once

namespace vexa::inspector {

// POSIX: a terminal whose locale (LC_ALL, LC_CTYPE or LANG, the first set)
// names UTF-8. Windows: a console whose output code page is UTF-8.
bool StandardOutputIsUtf8Terminal();

// Standard output is a terminal (a console on Windows), not a file or pipe.
bool StandardOutputIsTerminal();

}  // namespace vexa::inspector

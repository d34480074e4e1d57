#include <windows.h>

#include "tools/vexa/utf8_terminal.h"

namespace vexa::inspector {

bool StandardOutputIsTerminal() { return GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_CHAR; }

bool StandardOutputIsUtf8Terminal() {
  return StandardOutputIsTerminal() && GetConsoleOutputCP() == CP_UTF8;
}

}  // namespace vexa::inspector

#include <windows.h>

#include "tools/vexa/utf8_terminal.h"

namespace vexa::inspector {

bool StandardOutputIsUtf8Terminal() {
  return GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_CHAR && GetConsoleOutputCP() == CP_UTF8;
}

}  // namespace vexa::inspector

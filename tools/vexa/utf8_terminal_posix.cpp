#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <string>

#include "tools/vexa/utf8_terminal.h"

namespace vexa::inspector {

bool StandardOutputIsTerminal() { return isatty(STDOUT_FILENO) != 0; }

bool StandardOutputIsUtf8Terminal() {
  if (!StandardOutputIsTerminal()) return false;
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') continue;
    std::string locale;
    for (const char* c = value; *c != '\0'; ++c) {
      if (*c != '-') locale += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    }
    return locale.find("utf8") != std::string::npos;
  }
  return false;
}

}  // namespace vexa::inspector

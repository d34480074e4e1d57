// vexa_lists DIRECTORY: reads Vexa_skip.lst and Vexa_tkn.lst in DIRECTORY as
// the module does when it loads, and names every entry that no lookup will
// ever find: an entry gets at most eight slots of the lookup table, and one
// that finds none of them free is left out without a word. Reordering the
// lists or adding entries changes where entries land.
//
// Exit status: 0 every entry is found; 1 some are not; 2 usage.
#include <cstdio>
#include <string>

#include "config/configuration.h"
#include "config/word_lookup_table.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: vexa_lists DIRECTORY\n", stderr);
    return 2;
  }
  std::string directory = argv[1];
  if (directory.empty() || directory.back() != '/') directory += '/';

  vexa::TWordLookupTable table;
  vexa::LoadWordLists(directory, table);
  const auto unreachable = table.UnreachableEntries();
  std::printf("%zu entries, %zu slots, %zu never found\n", table.Words().size(), table.Slots().size(),
              unreachable.size());
  for (std::size_t index : unreachable) std::printf("  line %zu of the lists: %s\n", index + 1, table.Words()[index].c_str());
  return unreachable.empty() ? 0 : 1;
}

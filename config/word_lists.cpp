#include "config/configuration.h"
#include "config/word_list_file.h"
#include "platform/platform.h"

namespace vexa {
namespace {

// Appends the lines of a list file. A file that does not exist counts as
// empty; false when it exists and cannot be read.
bool AppendListFile(const std::string& path, std::vector<std::string>& words) {
  if (!platform::IsExistingFile(path)) return true;
  std::string contents;
  if (!platform::ReadWholeFile(path, contents)) return false;
  std::vector<std::string> lines = SplitListLines(contents);
  words.insert(words.end(), std::make_move_iterator(lines.begin()), std::make_move_iterator(lines.end()));
  return true;
}

}  // namespace

void LoadWordLists(const std::string& libraryDirectory, TWordLookupTable& table) {
  std::vector<std::string> words;
  if (!AppendListFile(libraryDirectory + kStopWordFileName, words)) return;
  const std::size_t skipCount = words.size();
  if (!AppendListFile(libraryDirectory + kTokenFileName, words)) return;
  if (words.empty()) return;
  table.Build(std::move(words), skipCount);
}

}  // namespace vexa

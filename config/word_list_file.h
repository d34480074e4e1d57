#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// The lines of a word-list file, raw. A line ends at CR LF, a lone CR or a
// lone LF; a zero byte ends the text; the last line needs no line end, and a
// line end at the very end adds no empty line.
std::vector<std::string> SplitListLines(std::string_view text);

}  // namespace vexa

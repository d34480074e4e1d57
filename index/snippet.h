// The best fragment of a text for a query: about `maxWords` blank-separated
// chunks of the text, chosen to hold as many different query words as can
// be, then as many matches, starting a little before its first match. A
// chunk matches when one of the words the document parser makes of it is a
// word of an item to be found, or starts with a prefix to be found; it is
// put between the marks, leaving out punctuation at its ends. The ellipsis
// stands where the text is cut. Line ends and runs of blanks become one
// blank; a chunk over 200 characters is cut there (and the ellipsis added).
// Without a match the fragment is the start of the text.
#pragma once

#include <string>
#include <string_view>

#include "index/text_analyzer.h"
#include "parser/word_cut.h"

namespace vexa::index {

struct SnippetOptions {
  std::string startMark = "<b>";
  std::string endMark = "</b>";
  int maxWords = 30;
  std::string ellipsis = "...";
  // How the text's characters are made of bytes.
  TextEncoding encoding = TextEncoding::kSingleByte;
  // The fragment is at most this many characters.
  std::size_t maxCharacters = 8000;
};

std::string Snippet(std::string_view text, std::string_view query, const TextAnalyzer& analyzer,
                    const SnippetOptions& options = SnippetOptions());

}  // namespace vexa::index

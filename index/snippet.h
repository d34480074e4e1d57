// The best fragment of a text for a query: about `maxWords` blank-separated
// chunks of the text, chosen to hold as many different query words as can
// be, then as many matches, starting a little before its first match. A
// chunk matches when one of the words the document parser makes of it is a
// word of an item to be found, or starts with a prefix to be found; it is
// put between the marks, leaving out punctuation at its ends. The ellipsis
// stands where the text is cut. Line ends and runs of blanks become one
// blank; a chunk over 200 characters is cut there (and the ellipsis added).
// Without a match the fragment is the start of the text.
//
// A word of a phrase to be found matches only where the whole phrase
// stands, its words in order as the document parser makes them. Items of
// one column (query_plan.h) match only in a text of that column.
//
// An analyzer that places its words (TextAnalyzer::WordOffsets) is cut and
// marked where they stand instead: a window of `maxWords` words, exactly
// the bytes of each matched word marked (a CJK run's matched bigrams as
// one), the text between words as it is but for runs of blanks.
#pragma once

#include <string>
#include <string_view>

#include "index/index_columns.h"
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
  // The columns of the index the query is read for (index_columns.h), and
  // the one the text is (by name, either case; empty: every item applies).
  IndexColumns columns;
  std::string column;
  // Write the text's <, >, & and " as &lt; &gt; &amp; &quot; (the marks and
  // the ellipsis go as given).
  bool escapeHtml = false;
};

std::string Snippet(std::string_view text, std::string_view query, const TextAnalyzer& analyzer,
                    const SnippetOptions& options = SnippetOptions());

// The whole text, as it is, with every match marked as Snippet marks them
// (and escaped as it escapes); maxWords, ellipsis and maxCharacters do not
// apply.
std::string Highlight(std::string_view text, std::string_view query, const TextAnalyzer& analyzer,
                      const SnippetOptions& options = SnippetOptions());

}  // namespace vexa::index

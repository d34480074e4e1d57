#include "config/word_list_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexa {
namespace {

TEST(WordListFile, LineEndsAndTheZeroByte) {
  using Lines = std::vector<std::string>;
  const struct {
    std::string text;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb\nc", {"a", "b", "c"}},
      {"a\n\rb", {"a", "", "b"}},  // LF then CR: two line ends
      {"a\n\nb\n", {"a", "", "b"}},
      {"\n", {""}},
      {"\r\n\r\n", {"", ""}},
      {std::string("a\nb\0c\nd", 7), {"a", "b"}},
      {"  x y  \n", {"  x y  "}},  // trimming is the table's business
  };
  for (const auto& c : cases) EXPECT_EQ(SplitListLines(c.text), c.lines);
}

}  // namespace
}  // namespace vexa

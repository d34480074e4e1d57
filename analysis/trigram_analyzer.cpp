#include "analysis/trigram_analyzer.h"

#include <utf8proc.h>

#include "parser/crc1632.h"

namespace vexa::analysis {
namespace {

constexpr utf8proc_int32_t kReplacement = 0xFFFD;
constexpr utf8proc_int32_t kSharpS = 0xDF;

// The character at `at` and its length in bytes; a byte that is not UTF-8
// is U+FFFD of one byte.
utf8proc_int32_t Decode(std::string_view text, std::size_t at, std::size_t& length) {
  const auto byte = static_cast<unsigned char>(text[at]);
  length = 1;
  if (byte < 0x80) return byte;
  utf8proc_int32_t c = -1;
  const utf8proc_ssize_t read = utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(text.data() + at),
                                                 static_cast<utf8proc_ssize_t>(text.size() - at), &c);
  if (read <= 0) return kReplacement;
  length = static_cast<std::size_t>(read);
  return c;
}

// Unicode's simple upper case, as the engine's UPPER has it. (utf8proc
// gives ß the capital ẞ, which Unicode's simple mapping does not.)
utf8proc_int32_t Upper(utf8proc_int32_t c) {
  if (c < 0x80) return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
  return c == kSharpS ? c : utf8proc_toupper(c);
}

// The letter `c`'s canonical decomposition starts with, when the rest of it
// is nonspacing marks (É to E); `c` otherwise.
utf8proc_int32_t WithoutAccent(utf8proc_int32_t c) {
  if (c < 0xC0) return c;
  utf8proc_int32_t parts[8];
  int boundary = 0;
  const utf8proc_ssize_t count = utf8proc_decompose_char(c, parts, 8, UTF8PROC_DECOMPOSE, &boundary);
  if (count < 2 || count > 8) return c;
  for (utf8proc_ssize_t i = 1; i < count; ++i) {
    if (utf8proc_category(parts[i]) != UTF8PROC_CATEGORY_MN) return c;
  }
  return Upper(parts[0]);
}

void AppendUtf8(utf8proc_int32_t c, std::string& out) {
  utf8proc_uint8_t bytes[4];
  const utf8proc_ssize_t length = utf8proc_encode_char(c, bytes);
  out.append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length));
}

}  // namespace

void TrigramAnalyzer::ForEachGram(
    std::string_view text, const std::function<void(std::string_view gram, std::size_t begin, std::size_t end)>& gram) const {
  // START, the folded characters, END: where each starts in `folded`, and
  // where each character starts in the text.
  std::string folded(index::kGramTextStart);
  folded.reserve(text.size() + 2 * index::kGramTextEnd.size() + index::kGramTextStart.size());
  std::vector<std::size_t> foldedAt{0};
  std::vector<std::size_t> textAt;
  foldedAt.reserve(text.size() + 4);
  textAt.reserve(text.size() + 1);
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t length = 0;
    utf8proc_int32_t c = Upper(Decode(text, at, length));
    if (!keepAccents_) c = WithoutAccent(c);
    foldedAt.push_back(folded.size());
    textAt.push_back(at);
    if (c < 0x80) {
      folded += static_cast<char>(c);
    } else {
      AppendUtf8(c, folded);
    }
    at += length;
  }
  textAt.push_back(text.size());
  for (int i = 0; i < 2; ++i) {
    foldedAt.push_back(folded.size());
    folded += index::kGramTextEnd;
  }
  foldedAt.push_back(folded.size());
  const std::size_t characters = textAt.size() - 1;
  for (std::size_t g = 0; g <= characters; ++g) {
    // Gram g is of the sequence's members g..g+2: text characters g-1..g+1.
    const std::size_t first = g == 0 ? 0 : g - 1;
    const std::size_t last = g + 1 < characters ? g + 2 : characters;
    gram(std::string_view(folded).substr(foldedAt[g], foldedAt[g + 3] - foldedAt[g]), textAt[first], textAt[last]);
  }
}

std::int32_t TrigramAnalyzer::DocumentWords(std::string_view text,
                                            const std::function<void(std::string_view word)>& word) const {
  std::uint32_t crc = 0xFFFFFFFFu;
  ForEachGram(text, [&](std::string_view gram, std::size_t, std::size_t) {
    UpdateCrc32WithWord(gram.data(), gram.size(), crc);
    word(gram);
  });
  return static_cast<std::int32_t>(crc);
}

bool TrigramAnalyzer::WordOffsets(
    std::string_view text, const std::function<void(std::string_view word, std::size_t begin, std::size_t end)>& word) const {
  ForEachGram(text, word);
  return true;
}

std::vector<std::string> TrigramAnalyzer::PrefixWords(std::string_view text) const {
  std::string prefix;
  for (const index::GramCharacter& character : Characters(text)) prefix += character.folded;
  if (prefix.empty()) return {};
  return {prefix};
}

std::int32_t TrigramAnalyzer::SoundCode(std::string_view) const { return 0; }

std::vector<index::GramCharacter> TrigramAnalyzer::Characters(std::string_view text) const {
  std::vector<index::GramCharacter> characters;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t length = 0;
    utf8proc_int32_t c = Upper(Decode(text, at, length));
    if (!keepAccents_) c = WithoutAccent(c);
    index::GramCharacter character;
    character.raw = text.substr(at, length);
    AppendUtf8(c, character.folded);
    characters.push_back(std::move(character));
    at += length;
  }
  return characters;
}

}  // namespace vexa::analysis

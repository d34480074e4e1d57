// Text splitting and word intake as plainly as they can be written, from the
// byte loops of plain_token_list.h and the table's LookupWord, held against
// TParser's fast paths (bit-mask scanning, short words' kept answers, keys
// upper-cased in a register, words appended from their keys) over random
// texts, lists, word sets and minimum lengths: the streams must be equal byte
// for byte.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "parser/parser.h"
#include "parser/plain_token_list.h"
#include "platform/platform.h"
#include "tests/harness/word_filters/filter_entry.h"

namespace vexa {
namespace {

std::string PlainStream(const char* text, bool isQuery, const TEngineSettings& settings) {
  std::string stream;
  const auto addWord = [&](const char* word, std::size_t length, bool checkWord) {
    if (checkWord && !isQuery && static_cast<std::int64_t>(length) < settings.minWordLength) return;
    const std::size_t kept = length < 255 ? length : 255;
    char buffer[256];
    for (std::size_t i = 0; i < kept; ++i) {
      buffer[i] = static_cast<char>(platform::UpperCaseTable()[static_cast<unsigned char>(word[i])]);
    }
    buffer[kept] = '\0';
    const TWordKind kind = checkWord ? settings.wordTable.LookupWord(buffer, kept) : wkToken;
    if (kind == wkStop && !isQuery) return;
    if (kind == wkNone) settings.filters.Apply(buffer);
    const std::size_t stored = std::strlen(buffer);
    if (stored == 0) return;
    const char field[4] = {static_cast<char>(stored), 0, 0, 0};
    stream.append(field, 4);
    stream.append(buffer, stored);
  };
  TPlainTokenList tokens(text, settings.wordCharacters);
  while (!tokens.AtEnd()) {
    const char* chunkEnd = tokens.RunStart();
    while (static_cast<unsigned char>(*chunkEnd) > 0x20) ++chunkEnd;
    const auto chunkLength = static_cast<std::size_t>(chunkEnd - tokens.RunStart());
    if (chunkLength > 0 && settings.wordTable.LookupWord(tokens.RunStart(), chunkLength) == wkToken) {
      addWord(tokens.RunStart(), chunkLength, false);
      tokens.RestartAt(chunkEnd);
      continue;
    }
    addWord(tokens.RunStart(), static_cast<std::size_t>(tokens.RunEnd() - tokens.RunStart()), true);
    tokens.NextRun();
  }
  return stream;
}

std::string ParserStream(const char* text, bool isQuery, const TEngineSettings& settings) {
  TParser parser(isQuery, settings);
  parser.AddText(text);
  const TWordStream& stream = parser.WordStream();
  return std::string(reinterpret_cast<const char*>(stream.Data()), stream.Size());
}

void VEXA_FILTER_CALL EmptyOddLengths(char* word) {
  if (std::strlen(word) % 2 == 1) word[0] = '\0';
}

// Pieces of text that reach every path: Latin and Cyrillic words in either
// case, bytes 0x80..0xBF inside words, punctuation glued to words, blanks and
// controls, long runs, and the listed words themselves.
std::string RandomText(std::mt19937& random, const std::vector<std::string>& listed) {
  static const char* const kPieces[] = {
      "the", "The", "THE", "and", "lord", "LORD", "LORD,", "Lord.", "tcp/ip", "TCP/IP", "R&D", "r&d", "C++",
      "\xEF\xF0\xE8\xE2\xE5\xF2", "\xCF\xD0\xC8", "\xB8\xEB\xEA\xE0", "\xA8\xCB\xCA\xC0", "\xE8", "\xC8",
      "x", "ab", "a-b", "9_9", "\x80\x81", "\xBF", "(", ")", ".", ",", "--", "\xAB", "\xBB"};
  static const char* const kBlanks[] = {" ", " ", " ", "  ", "\n", "\t", "\r\n", "\x01", ""};
  std::string text;
  const std::size_t pieces = random() % 200;
  for (std::size_t i = 0; i < pieces; ++i) {
    const auto pick = random() % 10;
    if (pick < 2 && !listed.empty()) {
      text += listed[random() % listed.size()];
    } else if (pick == 2) {
      text += std::string(1 + random() % 40, static_cast<char>('a' + random() % 26));  // past 15 and 16 bytes
    } else if (pick == 3) {
      text += static_cast<char>(1 + random() % 255);
    } else {
      text += kPieces[random() % (sizeof kPieces / sizeof kPieces[0])];
    }
    text += kBlanks[random() % (sizeof kBlanks / sizeof kBlanks[0])];
  }
  if (random() % 4 == 0) text += std::string(300, 'w');  // longer than the word buffer
  return text;
}

TEST(ParserDifferential, FastPathsStoreWhatThePlainAlgorithmStores) {
  std::mt19937 random(17);
  const std::vector<std::string> stopChoices = {"the", "and", "lord", "\xE8", "\xEF\xF0\xE8\xE2\xE5\xF2", "x",
                                                "abnwmtuai", "ab", "\xB8\xEB\xEA\xE0", "9_9", "www"};
  const std::vector<std::string> tokenChoices = {"tcp/ip", "R&D", "LORD,", "c++", "a-b", "\xCF\xD0\xC8.", "and",
                                                 "X"};
  for (int round = 0; round < 400; ++round) {
    TEngineSettings settings;
    switch (random() % 4) {
      case 0:
        break;  // the built-in word characters
      case 1:
        settings.wordCharacters.AddRange(0xC0, 0xFF);
        settings.wordCharacters.Add(0xA8);
        settings.wordCharacters.Add(0xB8);
        break;
      case 2:
        settings.wordCharacters.AddRange(0x80, 0xFF);
        settings.wordCharacters.Add('-');
        break;
      default:
        settings.wordCharacters.Add(' ');  // runs longer than their chunks
        settings.wordCharacters.Add('&');
    }
    settings.minWordLength = static_cast<std::int32_t>(random() % 5);
    std::vector<std::string> words;
    std::size_t skipCount = 0;
    if (random() % 5 != 0) {
      for (const std::string& word : stopChoices) {
        if (random() % 2 == 0) words.push_back(word);
      }
      skipCount = words.size();
      for (const std::string& token : tokenChoices) {
        if (random() % 2 == 0) words.push_back(token);
      }
    }
    settings.wordTable.Build(words, skipCount);
    if (random() % 4 == 0) settings.filters.Add(TFilterEntry{nullptr, &EmptyOddLengths});

    std::vector<std::string> listed = settings.wordTable.Words();
    listed.insert(listed.end(), words.begin(), words.end());
    const std::string text = RandomText(random, listed);
    // An allocation of the text's exact size, so that a read past its NUL
    // is a read past the allocation.
    std::vector<char> exact(text.begin(), text.end());
    exact.push_back('\0');
    for (const bool isQuery : {false, true}) {
      ASSERT_EQ(ParserStream(exact.data(), isQuery, settings), PlainStream(exact.data(), isQuery, settings))
          << "round " << round << (isQuery ? ", query" : ", document") << ", text: " << text;
    }
  }
}

}  // namespace
}  // namespace vexa

#include "host_calls.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace vexa::test {
namespace {

// More words than any test adds: a stream that never ends is a fault.
constexpr std::size_t kMaxWordsRead = 1'000'000;

}  // namespace

std::string HostCalls::Next(std::int32_t handle) const {
  char* result = exports_.Parser_Next(&handle);
  if (result == nullptr) {
    ADD_FAILURE() << "Parser_Next(" << handle << ") returned a null pointer";
    return std::string();
  }
  std::string word = result;
  std::free(result);
  return word;
}

std::vector<std::string> HostCalls::ReadAll(std::int32_t handle) const {
  std::vector<std::string> words;
  for (std::size_t i = 0; i < kMaxWordsRead; ++i) {
    std::string word = Next(handle);
    if (word.empty()) return words;
    words.push_back(std::move(word));
  }
  ADD_FAILURE() << "Parser_Next(" << handle << ") never returned the empty string";
  return words;
}

std::vector<std::string> HostCalls::Split(const std::string& text, ParserKind kind) const {
  const std::int32_t handle = Create(kind);
  EXPECT_NE(handle, 0);
  EXPECT_EQ(Add(handle, text), 1);
  EXPECT_EQ(Reset(handle), 1);
  std::vector<std::string> words = ReadAll(handle);
  EXPECT_EQ(Free(handle), 1);
  return words;
}

std::uint32_t HostCalls::CrcOf(const std::string& text, ParserKind kind) const {
  const std::int32_t handle = Create(kind);
  EXPECT_NE(handle, 0);
  EXPECT_EQ(Add(handle, text), 1);
  const std::uint32_t crc = Crc(handle);
  EXPECT_EQ(Free(handle), 1);
  return crc;
}

}  // namespace vexa::test

#include "bench/exports/unbroken_text.h"

#include <cstdint>
#include <random>
#include <stdexcept>

namespace vexa::bench {
namespace {

constexpr std::uint32_t kSeed = 20240607;
constexpr char kUrlSeparators[] = "/-.?=&:~+,;%#!";
constexpr std::size_t kUrlSeparatorCount = sizeof kUrlSeparators - 1;
constexpr char kBase64Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

std::string UrlDumpText(const CorpusWords& words, std::size_t bytes) {
  if (bytes == 0) return std::string();
  if (words.Count() == 0) throw std::invalid_argument("a URL dump needs words");
  std::mt19937 random(kSeed);
  std::string text;
  text.reserve(bytes + 256);
  for (std::size_t i = 0; text.size() < bytes; i = (i + 1) % words.Count()) {
    text += words.Word(i);
    text += kUrlSeparators[random() % kUrlSeparatorCount];
  }
  text.resize(bytes);
  return text;
}

std::string Base64DumpText(std::size_t bytes) {
  std::mt19937 random(kSeed);
  std::string text;
  text.reserve(bytes + 4);
  while (text.size() < bytes) {
    // Three pseudo-random bytes make four base64 digits of six bits each.
    const std::uint32_t group = random() & 0xFFFFFFu;
    for (int shift = 18; shift >= 0; shift -= 6) text += kBase64Digits[(group >> shift) & 0x3Fu];
  }
  text.resize(bytes);
  return text;
}

}  // namespace vexa::bench

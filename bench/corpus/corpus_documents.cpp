#include "bench/corpus/corpus_documents.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace vexa::bench {
namespace {

bool IsBlank(char byte) { return static_cast<unsigned char>(byte) <= 0x20; }

}  // namespace

std::string ReadCorpusFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path.string());
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw std::runtime_error("cannot read " + path.string());
  if (text.empty()) throw std::runtime_error(path.string() + " is empty");
  return text;
}

std::vector<std::string> SplitIntoDocuments(const std::string& text, std::size_t maxBytes) {
  if (maxBytes == 0) throw std::invalid_argument("documents need room for at least one byte");
  std::vector<std::string> documents;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.size();
    if (end - start > maxBytes) {
      end = start + maxBytes;
      std::size_t cut = end;
      while (cut > start && !IsBlank(text[cut - 1])) --cut;
      if (cut > start) end = cut;
    }
    std::string document = text.substr(start, end - start);
    for (char& byte : document) {
      if (byte == '\0') byte = ' ';
    }
    documents.push_back(std::move(document));
    start = end;
  }
  return documents;
}

std::size_t TotalBytes(const std::vector<std::string>& documents) {
  std::size_t total = 0;
  for (const std::string& document : documents) total += document.size();
  return total;
}

}  // namespace vexa::bench

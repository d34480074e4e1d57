#include "bench/scale/bench_io.h"

#include <cstdint>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace vexa::scale {

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::string> ReadDocuments(const fs::path& path) {
  std::vector<std::string> documents;
  std::istringstream records(ReadFile(path));
  std::string record;
  while (std::getline(records, record, '\036')) {
    const std::size_t split = record.find('\037');
    if (record.empty()) continue;
    documents.push_back(split == std::string::npos ? record : record.substr(split + 1));
  }
  if (documents.empty()) throw std::runtime_error("no documents in " + path.string());
  return documents;
}

std::string CorpusSource(const fs::path& corpus) {
  fs::path source = corpus;
  source.replace_extension(".source");
  if (!fs::exists(source)) return "";
  std::istringstream lines(ReadFile(source));
  std::string text;
  std::string key;
  for (std::int64_t count = 0; lines >> key >> count;) text += "corpus_" + key + " " + std::to_string(count) + "\n";
  return text;
}

}  // namespace vexa::scale

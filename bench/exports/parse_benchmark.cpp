#include "bench/exports/parse_benchmark.h"

#include <cstdint>
#include <cstdlib>

#include "bench/corpus/corpus_documents.h"

namespace vexa::bench {
namespace {

// Reads the words of `handle` until the empty string that ends them, freeing
// each as the server does. Returns an error text, or nullptr.
const char* DrainWords(const VexaExports& vexa, const std::int32_t& handle, std::int64_t& words) {
  for (;;) {
    char* word = vexa.Parser_Next(&handle);
    if (word == nullptr) return "Parser_Next returned no string";
    const bool atEnd = word[0] == '\0';
    std::free(word);
    if (atEnd) return nullptr;
    ++words;
  }
}

// Parses one document with a parser of its own. Returns an error text, or
// nullptr.
const char* ParseDocument(const VexaExports& vexa, const std::string& document, std::int64_t& words) {
  const std::int32_t handle = vexa.Parser_Create();
  if (handle == 0) return "Parser_Create gave no handle";
  const char* error = nullptr;
  if (vexa.Parser_Add(&handle, document.c_str()) != 1) {
    error = "Parser_Add refused a good handle";
  } else if (vexa.Parser_Reset(&handle) != 1) {
    error = "Parser_Reset refused a good handle";
  } else {
    error = DrainWords(vexa, handle, words);
  }
  if (vexa.Parser_Free(&handle) != 1 && error == nullptr) error = "Parser_Free failed";
  return error;
}

}  // namespace

void ParseDocuments(benchmark::State& state, const VexaExports& vexa, const std::vector<std::string>& documents) {
  std::int64_t words = 0;
  for (auto _ : state) {
    const char* error = nullptr;
    for (const std::string& document : documents) {
      error = ParseDocument(vexa, document, words);
      if (error != nullptr) break;
    }
    if (error != nullptr) {
      state.SkipWithError(error);
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(TotalBytes(documents)));
  state.counters["words"] = benchmark::Counter(static_cast<double>(words), benchmark::Counter::kIsRate);
  state.counters["documents"] = static_cast<double>(documents.size());
}

}  // namespace vexa::bench

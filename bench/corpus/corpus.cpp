#include "bench/corpus/corpus.h"

#include "bench/corpus/corpus_documents.h"

namespace vexa::bench {

Corpus LoadCorpus(const std::string& name, const std::filesystem::path& file) {
  const std::string text = ReadCorpusFile(file);
  return Corpus{name, SplitIntoDocuments(text, kDocumentBytes), CorpusWords(text)};
}

}  // namespace vexa::bench

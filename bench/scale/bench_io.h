// Files of the scale benchmark: whole files read and written, and the
// corpora make_corpus.sh writes.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vexa::scale {

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& text);

// The documents of a corpus file: records "title\037text\036"; the text only.
std::vector<std::string> ReadDocuments(const std::filesystem::path& path);

// What make_corpus.sh says of a corpus beside it (CORPUS.source: "real N",
// "synthetic N"), as "corpus_real N" and "corpus_synthetic N" lines; nothing
// when it says nothing.
std::string CorpusSource(const std::filesystem::path& corpus);

}  // namespace vexa::scale

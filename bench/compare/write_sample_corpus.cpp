// vexa_compare_sample_corpus DIR BYTES: writes made-up English and Russian
// texts of at least BYTES bytes each into DIR (sample_corpus.h), as
// vexa_compare reads a corpus, for a run that needs no corpus packages.
#include <cstdio>
#include <exception>
#include <string>

#include "bench/compare/sample_corpus.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s DIR BYTES\n", argv[0]);
    return 2;
  }
  try {
    vexa::compare::WriteSampleCorpus(argv[1], static_cast<std::size_t>(std::stoul(argv[2])));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vexa_compare_sample_corpus: %s\n", error.what());
    return 1;
  }
  return 0;
}

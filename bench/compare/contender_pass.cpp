#include "bench/compare/contender_pass.h"

#include "bench/compare/udr_fetch_pass.h"
#include "bench/compare/vexa_pass.h"

namespace vexa::compare {

PassResult RunPass(Contender contender, const ComparedLanguage& language, const PassTools& tools) {
  const std::vector<std::string>& documents = language.corpus.documents;
  const vexa_host::VexaExports& vexa = language.module->Exports();
  switch (contender) {
    case Contender::kVexaAddBlob:
      return ParseAndReadDocuments(vexa, tools.release, documents, TextIntake::kAddBlob);
    case Contender::kVexaAdd:
      return ParseAndReadDocuments(vexa, tools.release, documents, TextIntake::kAdd);
    case Contender::kVexaWithoutReading:
      return ParseDocumentsWithoutReading(vexa, documents);
    case Contender::kVexaWithoutLists:
      return ParseAndReadDocuments(language.moduleWithoutLists->Exports(), tools.release, documents,
                                   TextIntake::kAddBlob);
    case Contender::kVexaUdrFetch:
      return FetchDocumentsAsTheUdr(language.udrSettings->Get(), documents);
    case Contender::kFts5Ascii:
      return TokenizeDocuments(tools.ascii, documents);
    case Contender::kFts5Unicode61:
      return TokenizeDocuments(tools.unicode61, language.utf8Documents);
    case Contender::kBareRunScan:
      return CountRunsInDocuments(documents, tools.wordCharacters);
  }
  return PassResult{};
}

}  // namespace vexa::compare

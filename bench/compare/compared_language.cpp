#include "bench/compare/compared_language.h"

#include "bench/compare/text_encoding.h"
#include "bench/module_ini.h"
#include "bench/module_layout.h"

namespace vexa::compare {

vexa::bench::WordLists ComparedWordLists(const vexa::bench::Corpus& corpus, vexa::bench::Alphabet alphabet) {
  vexa::bench::WordLists lists = vexa::bench::CorpusWordLists(corpus, alphabet, vexa::bench::kMinWordLength);
  lists.stopWords =
      vexa::bench::MostFrequentWords(corpus.words, alphabet, vexa::bench::kMinWordLength, kComparedStopWordCount);
  return lists;
}

ComparedLanguage LoadComparedLanguage(const std::string& name, const std::filesystem::path& file,
                                      vexa::bench::Alphabet alphabet, const std::filesystem::path& builtModule) {
  ComparedLanguage language{name, file, vexa::bench::LoadCorpus(name, file), {}, nullptr, nullptr, nullptr, {}};
  language.lists = ComparedWordLists(language.corpus, alphabet);
  language.module = std::make_unique<vexa::bench::VexaModule>(
      builtModule, vexa::bench::LayoutFor(vexa::bench::ModuleConfiguration::kWordLists, language.lists, {}));
  language.moduleWithoutLists = std::make_unique<vexa::bench::VexaModule>(
      builtModule, vexa::bench::LayoutFor(vexa::bench::ModuleConfiguration::kNoLists, language.lists, {}));
  language.udrSettings = std::make_unique<UdrSettings>(language.module->Directory());
  language.utf8Documents = DocumentsInUtf8(language.corpus.documents);
  return language;
}

}  // namespace vexa::compare

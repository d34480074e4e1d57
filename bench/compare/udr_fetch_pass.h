// The UDR module's path per document, in this process: the module's core
// configured from the same directory as a language's copy of Vexa.so, a
// document parser fed the text as the module's BLOB reading hands it over
// (one copy of the bytes), and every word copied from the word stream into an
// output message by the UDR fetch's own code (frame/udr/word_rows.h), with no
// allocation and no call into the host per word. What the engine adds around
// a fetch is not in it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "bench/compare/pass_result.h"
#include "config/engine_settings.h"

namespace vexa::compare {

// The configuration the UDR module reads beside its file when it is loaded
// from `moduleDirectory`.
class UdrSettings {
 public:
  explicit UdrSettings(const std::filesystem::path& moduleDirectory);
  const TEngineSettings& Get() const { return settings_; }

 private:
  TEngineSettings settings_;
};

// Words and checksum as ParseAndReadDocuments counts them (vexa_pass.h), so
// that both paths must agree on the same documents.
PassResult FetchDocumentsAsTheUdr(const TEngineSettings& settings, const std::vector<std::string>& documents);

}  // namespace vexa::compare

// SQLite FTS5's built-in tokenizers, called directly through the fts5_api
// tokenizer interface, as FTS5 calls them for a document it indexes.
#pragma once

#include <sqlite3.h>

#include <string>
#include <string_view>
#include <vector>

#include "bench/compare/pass_result.h"

namespace vexa::compare {

// An in-memory database and the fts5_api pointer it hands out.
class Fts5Database {
 public:
  // Throws std::runtime_error when the database does not open or has no FTS5.
  Fts5Database();
  ~Fts5Database();
  Fts5Database(const Fts5Database&) = delete;
  Fts5Database& operator=(const Fts5Database&) = delete;

  fts5_api* Api() const { return api_; }

 private:
  sqlite3* database_ = nullptr;
  fts5_api* api_ = nullptr;
};

// One tokenizer instance, "ascii" or "unicode61", with its default options.
class SqliteTokenizer {
 public:
  // Throws std::runtime_error when FTS5 has no tokenizer of that name.
  SqliteTokenizer(const Fts5Database& database, const std::string& name);
  ~SqliteTokenizer();
  SqliteTokenizer(const SqliteTokenizer&) = delete;
  SqliteTokenizer& operator=(const SqliteTokenizer&) = delete;

  // Tokenizes `text` as a document. Words: the tokens; checksum: the bytes
  // of every token. Throws std::runtime_error when the tokenizer fails.
  PassResult Tokenize(std::string_view text) const;

  // The tokens themselves, for checking what a tokenizer makes of a text.
  std::vector<std::string> Tokens(std::string_view text) const;

  const std::string& Name() const { return name_; }

 private:
  void Run(std::string_view text, void* context,
           int (*onToken)(void*, int, const char*, int, int, int)) const;

  std::string name_;
  fts5_tokenizer methods_{};
  ::Fts5Tokenizer* instance_ = nullptr;
};

// Each document through Tokenize, the results added up.
PassResult TokenizeDocuments(const SqliteTokenizer& tokenizer, const std::vector<std::string>& documents);

}  // namespace vexa::compare

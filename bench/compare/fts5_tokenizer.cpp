#include "bench/compare/fts5_tokenizer.h"

#include <stdexcept>

namespace vexa::compare {
namespace {

fts5_api* Fts5ApiOf(sqlite3* database) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(database, "SELECT fts5(?1)", -1, &statement, nullptr) != SQLITE_OK) {
    throw std::runtime_error(std::string("SQLite has no FTS5: ") + sqlite3_errmsg(database));
  }
  fts5_api* api = nullptr;
  sqlite3_bind_pointer(statement, 1, &api, "fts5_api_ptr", nullptr);
  sqlite3_step(statement);
  sqlite3_finalize(statement);
  if (api == nullptr) throw std::runtime_error("SQLite handed out no fts5_api pointer");
  return api;
}

int CountToken(void* context, int /*flags*/, const char* token, int length, int /*start*/, int /*end*/) {
  auto* result = static_cast<PassResult*>(context);
  std::uint64_t bytes = 0;
  for (int i = 0; i < length; ++i) bytes = bytes * 31 + static_cast<unsigned char>(token[i]);
  ++result->words;
  result->checksum += bytes;
  return SQLITE_OK;
}

int KeepToken(void* context, int /*flags*/, const char* token, int length, int /*start*/, int /*end*/) {
  static_cast<std::vector<std::string>*>(context)->emplace_back(token, static_cast<std::size_t>(length));
  return SQLITE_OK;
}

}  // namespace

Fts5Database::Fts5Database() {
  if (sqlite3_open(":memory:", &database_) != SQLITE_OK) {
    const std::string message = database_ != nullptr ? sqlite3_errmsg(database_) : "out of memory";
    sqlite3_close(database_);
    throw std::runtime_error("cannot open an in-memory SQLite database: " + message);
  }
  try {
    api_ = Fts5ApiOf(database_);
  } catch (...) {
    sqlite3_close(database_);
    throw;
  }
}

Fts5Database::~Fts5Database() { sqlite3_close(database_); }

SqliteTokenizer::SqliteTokenizer(const Fts5Database& database, const std::string& name) : name_(name) {
  fts5_api* api = database.Api();
  void* context = nullptr;
  if (api->xFindTokenizer(api, name.c_str(), &context, &methods_) != SQLITE_OK) {
    throw std::runtime_error("FTS5 has no tokenizer " + name);
  }
  if (methods_.xCreate(context, nullptr, 0, &instance_) != SQLITE_OK) {
    throw std::runtime_error("FTS5 cannot create the tokenizer " + name);
  }
}

SqliteTokenizer::~SqliteTokenizer() { methods_.xDelete(instance_); }

void SqliteTokenizer::Run(std::string_view text, void* context,
                        int (*onToken)(void*, int, const char*, int, int, int)) const {
  if (text.size() > static_cast<std::size_t>(INT32_MAX)) throw std::length_error("FTS5 takes texts under 2 GiB");
  const int status = methods_.xTokenize(instance_, context, FTS5_TOKENIZE_DOCUMENT, text.data(),
                                        static_cast<int>(text.size()), onToken);
  if (status != SQLITE_OK) throw std::runtime_error("the FTS5 tokenizer " + name_ + " failed");
}

PassResult SqliteTokenizer::Tokenize(std::string_view text) const {
  PassResult result;
  Run(text, &result, &CountToken);
  return result;
}

std::vector<std::string> SqliteTokenizer::Tokens(std::string_view text) const {
  std::vector<std::string> tokens;
  Run(text, &tokens, &KeepToken);
  return tokens;
}

PassResult TokenizeDocuments(const SqliteTokenizer& tokenizer, const std::vector<std::string>& documents) {
  PassResult total;
  for (const std::string& document : documents) {
    const PassResult one = tokenizer.Tokenize(document);
    total.words += one.words;
    total.checksum += one.checksum;
  }
  return total;
}

}  // namespace vexa::compare

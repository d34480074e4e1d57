#include "bench/scale/query_syntax.h"

#include <sstream>
#include <stdexcept>
#include <vector>

namespace vexa::scale {
namespace {

std::vector<std::string> Words(const Query& query, std::size_t expected) {
  std::vector<std::string> words;
  std::istringstream text(query.text);
  for (std::string word; text >> word;) words.push_back(word);
  if (expected != 0 && words.size() != expected) {
    throw std::runtime_error("a query of kind " + query.kind + " needs " + std::to_string(expected) +
                             " words: " + query.text);
  }
  return words;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The mixes as a search box reads them, Vexa's and PostgreSQL's alike.
std::string SearchBox(const Query& query) {
  if (query.kind == "or") {
    const auto words = Words(query, 2);
    return words[0] + " OR " + words[1];
  }
  if (query.kind == "not") {
    const auto words = Words(query, 2);
    return words[0] + " -" + words[1];
  }
  if (query.kind == "phrase_word") {
    const auto words = Words(query, 3);
    return Quoted(words[0] + " " + words[1]) + " " + words[2];
  }
  throw std::runtime_error("no search-box form for a query of kind " + query.kind);
}

}  // namespace

ProcedureCall VexaSearch(const Query& query) {
  if (query.kind == "all") return {"FT_SEARCH", query.text};
  if (query.kind == "phrase") return {"FT_SEARCH_PHRASE", query.text};
  if (query.kind == "prefix") return {"FT_SEARCH_PREFIX", query.text};
  return {"FT_SEARCH", SearchBox(query)};
}

TsQuery PostgresQuery(const Query& query) {
  if (query.kind == "all") return {"plainto_tsquery", query.text};
  if (query.kind == "phrase") return {"phraseto_tsquery", query.text};
  if (query.kind == "prefix") return {"to_tsquery", query.text + ":*"};
  return {"websearch_to_tsquery", SearchBox(query)};
}

std::string Fts5Match(const Query& query) {
  if (query.kind == "phrase") return Quoted(query.text);
  if (query.kind == "prefix") return Quoted(query.text) + "*";
  if (query.kind == "or") {
    const auto words = Words(query, 2);
    return Quoted(words[0]) + " OR " + Quoted(words[1]);
  }
  if (query.kind == "not") {
    const auto words = Words(query, 2);
    return Quoted(words[0]) + " NOT " + Quoted(words[1]);
  }
  if (query.kind == "phrase_word") {
    const auto words = Words(query, 3);
    return Quoted(words[0] + " " + words[1]) + " " + Quoted(words[2]);
  }
  if (query.kind != "all") throw std::runtime_error("no MATCH form for a query of kind " + query.kind);
  std::string match;
  for (const std::string& word : Words(query, 0)) match += (match.empty() ? "" : " ") + Quoted(word);
  return match;
}

std::string PostgresLikeEscaped(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '\\' || c == '%' || c == '_') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

std::string SqliteSubstringPattern(const std::string& text) {
  if (text.find_first_of("%_") != std::string::npos) throw std::invalid_argument("LIKE without ESCAPE cannot find " + text);
  return "%" + text + "%";
}

}  // namespace vexa::scale

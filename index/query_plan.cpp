#include "index/query_plan.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

namespace vexa::index {
namespace {

class PlanBuilder {
 public:
  explicit PlanBuilder(const TextAnalyzer& analyzer) : analyzer_(analyzer) { groups_.emplace_back(); }

  void NewGroup() { groups_.emplace_back(); }

  // Adds the items of one piece of the query to the current group.
  void AddPiece(std::string_view text, bool negated, bool isPhrase, bool isPrefix) {
    const std::vector<std::string> words = isPrefix ? analyzer_.PrefixWords(text) : analyzer_.Words(text);
    if (words.empty()) return;
    if (isPhrase || (negated && !isPrefix && words.size() > 1)) {
      AddItem(words.size() == 1 ? ItemKind::kWord : ItemKind::kPhrase, negated, words);
      return;
    }
    for (const std::string& word : words) AddItem(isPrefix ? ItemKind::kPrefix : ItemKind::kWord, negated, {word});
  }

  QueryPlan Finish() {
    QueryPlan plan;
    plan.terms = std::move(terms_);
    for (std::vector<QueryItem>& group : groups_) {
      const bool findsSomething = std::any_of(group.begin(), group.end(), [](const QueryItem& item) { return !item.negated; });
      if (findsSomething) plan.groups.push_back(std::move(group));
    }
    return plan;
  }

 private:
  void AddItem(ItemKind kind, bool negated, std::vector<std::string> words) {
    const auto [found, added] = termNumbers_.emplace(std::make_pair(kind, words), static_cast<int>(terms_.size() + 1));
    const int term = found->second;
    std::vector<QueryItem>& group = groups_.back();
    if (added) {
      terms_.push_back({kind, words});
    } else if (groupItems_.count({groups_.size(), term, negated}) != 0) {
      return;
    }
    groupItems_.insert({groups_.size(), term, negated});
    group.push_back({kind, negated, term, std::move(words)});
  }

  const TextAnalyzer& analyzer_;
  std::vector<std::vector<QueryItem>> groups_;
  std::vector<QueryTerm> terms_;
  std::map<std::pair<ItemKind, std::vector<std::string>>, int> termNumbers_;
  std::set<std::tuple<std::size_t, int, bool>> groupItems_;  // (group, term, negated) already added
};

bool IsBlank(char c) { return c == ' ' || static_cast<unsigned char>(c) < 32; }

}  // namespace

const char* KindName(ItemKind kind) {
  switch (kind) {
    case ItemKind::kWord: return "word";
    case ItemKind::kPhrase: return "phrase";
    case ItemKind::kPrefix: return "prefix";
  }
  return "word";
}

bool QueryPlan::PlainWords() const {
  if (groups.size() != 1) return false;
  return std::all_of(groups[0].begin(), groups[0].end(),
                     [](const QueryItem& item) { return item.kind == ItemKind::kWord && !item.negated; });
}

QueryPlan ParseQuery(std::string_view query, const TextAnalyzer& analyzer) {
  PlanBuilder builder(analyzer);
  const std::size_t length = query.size();
  const auto at = [&](std::size_t i) { return IsBlank(query[i]) ? ' ' : query[i]; };
  std::size_t i = 0;
  while (i < length) {
    char c = at(i);
    if (c == ' ') {
      ++i;
      continue;
    }
    bool negated = false;
    while (c == '-' && i + 1 < length) {
      negated = true;
      c = at(++i);
    }
    if (c == '"') {
      std::size_t close = i + 1;
      while (close < length && query[close] != '"') ++close;
      std::string piece(query.substr(i + 1, close - i - 1));
      for (char& byte : piece) byte = IsBlank(byte) ? ' ' : byte;
      builder.AddPiece(piece, negated, true, false);
      i = close + 1;
    } else if (c == ' ' || c == '-') {
      ++i;  // a lone -
    } else {
      std::size_t end = i;
      while (end < length && at(end) != ' ' && at(end) != '"') ++end;
      std::string_view piece = query.substr(i, end - i);
      i = end;
      if (piece == "OR" && !negated) {
        builder.NewGroup();
        continue;
      }
      bool isPrefix = false;
      while (!piece.empty() && piece.back() == '*') {
        isPrefix = true;
        piece.remove_suffix(1);
      }
      builder.AddPiece(piece, negated, false, isPrefix);
    }
  }
  return builder.Finish();
}

}  // namespace vexa::index


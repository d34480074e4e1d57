#include "index/query_plan.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

namespace vexa::index {
namespace {

class PlanBuilder {
 public:
  PlanBuilder(const TextAnalyzer& analyzer, const IndexColumns& columns) : analyzer_(analyzer), columns_(columns) {
    groups_.emplace_back();
  }

  void NewGroup() { groups_.emplace_back(); }

  // Adds the items of one piece of the query to the current group.
  // `column` is the column its items are found in, or -1 for any.
  void AddPiece(std::string_view text, bool negated, bool isPhrase, bool isPrefix, int column) {
    const std::vector<std::string> words = isPrefix ? analyzer_.PrefixWords(text) : analyzer_.Words(text);
    if (words.empty()) return;
    if (isPhrase || (negated && !isPrefix && words.size() > 1)) {
      AddItem(words.size() == 1 ? ItemKind::kWord : ItemKind::kPhrase, negated, words, column);
      return;
    }
    for (const std::string& word : words) AddItem(isPrefix ? ItemKind::kPrefix : ItemKind::kWord, negated, {word}, column);
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
  void AddItem(ItemKind kind, bool negated, std::vector<std::string> words, int column) {
    const auto [found, added] =
        termNumbers_.emplace(std::make_tuple(kind, column, words), static_cast<int>(terms_.size() + 1));
    const int term = found->second;
    std::vector<QueryItem>& group = groups_.back();
    if (added) {
      terms_.push_back({kind, words, column, {}});
    } else if (groupItems_.count({groups_.size(), term, negated}) != 0) {
      return;
    }
    groupItems_.insert({groups_.size(), term, negated});
    std::string columnName = column >= 0 ? columns_[static_cast<std::size_t>(column)].name : std::string();
    group.push_back({kind, negated, term, std::move(words), column, std::move(columnName)});
  }

  const TextAnalyzer& analyzer_;
  const IndexColumns& columns_;
  std::vector<std::vector<QueryItem>> groups_;
  std::vector<QueryTerm> terms_;
  std::map<std::tuple<ItemKind, int, std::vector<std::string>>, int> termNumbers_;
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

std::string ItemKindName(const QueryItem& item) {
  if (item.column < 0) return KindName(item.kind);
  return item.columnName + ":" + KindName(item.kind);
}

bool QueryPlan::PlainWords() const {
  if (groups.size() != 1) return false;
  return std::all_of(groups[0].begin(), groups[0].end(), [](const QueryItem& item) {
    return item.kind == ItemKind::kWord && !item.negated && item.column < 0;
  });
}

QueryPlan ParseQuery(std::string_view typed, const TextAnalyzer& analyzer, const IndexColumns& columns) {
  const std::string text = analyzer.QueryText(typed);
  const std::string_view query = text;
  PlanBuilder builder(analyzer, columns);
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
    // A column's name and a colon right before a piece.
    int column = -1;
    if (!columns.empty() && c != '"' && c != ' ') {
      std::size_t colon = i;
      while (colon < length && at(colon) != ' ' && at(colon) != '"' && query[colon] != ':') ++colon;
      if (colon < length && query[colon] == ':' && colon > i && colon + 1 < length && at(colon + 1) != ' ') {
        column = FindColumn(columns, query.substr(i, colon - i));
        if (column >= 0) {
          i = colon + 1;
          c = at(i);
        }
      }
    }
    if (c == '"') {
      std::size_t close = i + 1;
      while (close < length && query[close] != '"') ++close;
      std::string piece(query.substr(i + 1, close - i - 1));
      for (char& byte : piece) byte = IsBlank(byte) ? ' ' : byte;
      builder.AddPiece(piece, negated, true, false, column);
      i = close + 1;
    } else if (column < 0 && (c == ' ' || c == '-')) {
      ++i;  // a lone -
    } else {
      std::size_t end = i;
      while (end < length && at(end) != ' ' && at(end) != '"') ++end;
      std::string_view piece = query.substr(i, end - i);
      i = end;
      if (piece == "OR" && !negated && column < 0) {
        builder.NewGroup();
        continue;
      }
      bool isPrefix = false;
      while (!piece.empty() && piece.back() == '*') {
        isPrefix = true;
        piece.remove_suffix(1);
      }
      builder.AddPiece(piece, negated, false, isPrefix, column);
    }
  }
  return builder.Finish();
}

}  // namespace vexa::index


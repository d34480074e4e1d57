// Okapi BM25 as the index ranks: k1 = 1.2, b = 0.75, the inverse document
// frequency ln(1 + (N - df + 0.5) / (df + 0.5)), lengths in stored words;
// and the best hits of a search, highest score first, ties by document id.
#pragma once

#include <cmath>
#include <cstdint>
#include <queue>
#include <string>
#include <vector>

#include "index/storage.h"

namespace vexa::index {

class Bm25 {
 public:
  Bm25(std::int64_t documents, std::int64_t totalLength)
      : documents_(static_cast<double>(documents)),
        averageLength_(documents > 0 ? static_cast<double>(totalLength) / static_cast<double>(documents) : 0) {}

  double Idf(double df) const { return std::log(1 + (documents_ - df + 0.5) / (df + 0.5)); }
  // A term's share of a document's score: it occurs `tf` times among `length` words.
  double Weight(double idf, double tf, double length) const {
    return idf * tf * 2.2 / (tf + 1.2 * (0.25 + 0.75 * length / averageLength_));
  }

 private:
  double documents_;
  double averageLength_;
};

struct Hit {
  DocumentId id = 0;
  double score = 0;
  std::string matchedWord;  // for sounds-alike searches
};

// Keeps the best `limit` hits offered.
class TopHits {
 public:
  explicit TopHits(std::size_t limit) : limit_(limit) {}

  void Offer(DocumentId id, double score, const std::string* matchedWord = nullptr) {
    if (limit_ == 0) return;
    if (heap_.size() == limit_ && !Better(score, id, heap_.top().score, heap_.top().id)) return;
    Hit hit{id, score, matchedWord ? *matchedWord : std::string()};
    heap_.push(std::move(hit));
    if (heap_.size() > limit_) heap_.pop();
  }

  // The hits kept, best first.
  std::vector<Hit> Take() {
    std::vector<Hit> hits;
    while (!heap_.empty()) {
      hits.push_back(heap_.top());
      heap_.pop();
    }
    return std::vector<Hit>(hits.rbegin(), hits.rend());
  }

 private:
  static bool Better(double score, DocumentId id, double otherScore, DocumentId otherId) {
    return score > otherScore || (score == otherScore && id < otherId);
  }
  struct Worst {
    bool operator()(const Hit& a, const Hit& b) const { return Better(a.score, a.id, b.score, b.id); }
  };

  std::size_t limit_;
  std::priority_queue<Hit, std::vector<Hit>, Worst> heap_;  // the worst kept on top
};

}  // namespace vexa::index

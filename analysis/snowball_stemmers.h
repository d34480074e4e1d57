// Snowball's stemmers (Debian's libstemmer, in its UTF-8 mode) for the
// languages an index names, each word sent to the first of them whose
// alphabet it is written in: with russian+english, Cyrillic words go to the
// Russian stemmer and Latin ones to the English, as PostgreSQL's russian
// configuration does. A word of another alphabet (or of mixed ones) stays
// as it is.
//
// A stemmer object is not safe for two threads at once: each language
// keeps a pool of them, one taken for each word.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct sb_stemmer;  // libstemmer's

namespace vexa::analysis {

class SnowballStemmers {
 public:
  // Throws AnalyzerError for a language Snowball does not have.
  explicit SnowballStemmers(const std::vector<std::string>& languages);
  ~SnowballStemmers();
  SnowballStemmers(const SnowballStemmers&) = delete;
  SnowballStemmers& operator=(const SnowballStemmers&) = delete;

  // The stemmers one thread takes for a run of words (a document's), so
  // that a word costs no lock; they go back when it ends.
  class Lease {
   public:
    explicit Lease(const SnowballStemmers& stemmers) : stemmers_(stemmers), taken_(stemmers.languages_.size()) {}
    ~Lease();
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;

    // The stem of a case-folded word, given with its accents and without
    // them (the same text where accents are kept). A Cyrillic stemmer
    // reads the first, since й and ё are letters of their own to it; the
    // others read the second, so that café and cafe have one stem.
    std::string Stem(std::string_view accented, std::string_view unaccented);

   private:
    // The stem of a word the lease was asked for before: a document says
    // its words many times over.
    static constexpr std::size_t kMostRemembered = 8192;
    std::string StemOnce(std::string_view word);

    const SnowballStemmers& stemmers_;
    std::vector<sb_stemmer*> taken_;  // per language, once first used
    std::unordered_map<std::string, std::string> remembered_;
  };

  // Snowball's languages, as stem= names them.
  static std::vector<std::string> Languages();

 private:
  struct Language;
  std::vector<std::unique_ptr<Language>> languages_;
};

}  // namespace vexa::analysis

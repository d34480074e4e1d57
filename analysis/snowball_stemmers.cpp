#include "analysis/snowball_stemmers.h"

#include <libstemmer.h>
#include <utf8proc.h>

#include <cstring>

#include "analysis/analyzer_choice.h"
#include "platform/mutex.h"

namespace vexa::analysis {
namespace {

enum class Alphabet { kLatin, kCyrillic, kGreek, kArmenian, kHebrew, kArabic, kDevanagari, kTamil, kOther };

Alphabet AlphabetOf(utf8proc_int32_t c) {
  if (c < 0x0250 || (c >= 0x1E00 && c <= 0x1EFF)) return Alphabet::kLatin;
  if ((c >= 0x0370 && c <= 0x03FF) || (c >= 0x1F00 && c <= 0x1FFF)) return Alphabet::kGreek;
  if (c >= 0x0400 && c <= 0x052F) return Alphabet::kCyrillic;
  if (c >= 0x0530 && c <= 0x058F) return Alphabet::kArmenian;
  if (c >= 0x0590 && c <= 0x05FF) return Alphabet::kHebrew;
  if ((c >= 0x0600 && c <= 0x06FF) || (c >= 0x0750 && c <= 0x077F)) return Alphabet::kArabic;
  if (c >= 0x0900 && c <= 0x097F) return Alphabet::kDevanagari;
  if (c >= 0x0B80 && c <= 0x0BFF) return Alphabet::kTamil;
  return Alphabet::kOther;
}

// The alphabet of every letter of `word`; kOther when they differ or there
// are none. Digits and marks go with any alphabet.
Alphabet WordAlphabet(std::string_view word) {
  const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(word.data());
  std::size_t at = 0;
  bool seen = false;
  Alphabet alphabet = Alphabet::kOther;
  while (at < word.size()) {
    utf8proc_int32_t c = -1;
    const utf8proc_ssize_t length = utf8proc_iterate(bytes + at, static_cast<utf8proc_ssize_t>(word.size() - at), &c);
    if (length <= 0) return Alphabet::kOther;
    at += static_cast<std::size_t>(length);
    const utf8proc_category_t category = utf8proc_category(c);
    if (category < UTF8PROC_CATEGORY_LU || category > UTF8PROC_CATEGORY_LO) continue;
    const Alphabet letter = AlphabetOf(c);
    if (seen && letter != alphabet) return Alphabet::kOther;
    alphabet = letter;
    seen = true;
  }
  return alphabet;
}

Alphabet AlphabetOfLanguage(const std::string& language) {
  if (language == "russian" || language == "serbian") return Alphabet::kCyrillic;
  if (language == "greek") return Alphabet::kGreek;
  if (language == "armenian") return Alphabet::kArmenian;
  if (language == "yiddish") return Alphabet::kHebrew;
  if (language == "arabic") return Alphabet::kArabic;
  if (language == "hindi" || language == "nepali") return Alphabet::kDevanagari;
  if (language == "tamil") return Alphabet::kTamil;
  return Alphabet::kLatin;
}

}  // namespace

struct SnowballStemmers::Language {
  std::string name;
  Alphabet alphabet = Alphabet::kLatin;
  mutable platform::Mutex lock;
  mutable std::vector<sb_stemmer*> idle;  // guarded by lock

  ~Language() {
    for (sb_stemmer* stemmer : idle) sb_stemmer_delete(stemmer);
  }

  sb_stemmer* Take() const {
    {
      platform::MutexGuard guard(lock);
      if (!idle.empty()) {
        sb_stemmer* stemmer = idle.back();
        idle.pop_back();
        return stemmer;
      }
    }
    sb_stemmer* stemmer = sb_stemmer_new(name.c_str(), "UTF_8");
    if (stemmer == nullptr) throw std::bad_alloc();
    return stemmer;
  }

  void Give(sb_stemmer* stemmer) const {
    platform::MutexGuard guard(lock);
    idle.push_back(stemmer);
  }
};

SnowballStemmers::SnowballStemmers(const std::vector<std::string>& languages) {
  const std::vector<std::string> known = Languages();
  for (const std::string& name : languages) {
    bool found = false;
    for (const std::string& language : known) found = found || language == name;
    if (!found) {
      std::string list;
      for (const std::string& language : known) list += (list.empty() ? "" : ", ") + language;
      throw AnalyzerError("Snowball has no stemmer named '" + name + "' (it has " + list + ")");
    }
    auto language = std::make_unique<Language>();
    language->name = name;
    language->alphabet = AlphabetOfLanguage(name);
    language->Give(language->Take());  // refused now, not at the first word
    languages_.push_back(std::move(language));
  }
}

SnowballStemmers::~SnowballStemmers() = default;

SnowballStemmers::Lease::~Lease() {
  for (std::size_t i = 0; i < taken_.size(); ++i) {
    if (taken_[i] == nullptr) continue;
    try {
      stemmers_.languages_[i]->Give(taken_[i]);
    } catch (...) {
      sb_stemmer_delete(taken_[i]);  // no room to keep it
    }
  }
}

std::string SnowballStemmers::Lease::Stem(std::string_view accented, std::string_view unaccented) {
  const Alphabet alphabet = WordAlphabet(unaccented);
  const std::string_view word = alphabet == Alphabet::kCyrillic ? accented : unaccented;
  if (alphabet == Alphabet::kOther) return std::string(word);
  const std::string key(word);
  const auto found = remembered_.find(key);
  if (found != remembered_.end()) return found->second;
  std::string stem = StemOnce(word);
  if (remembered_.size() == kMostRemembered) remembered_.clear();
  remembered_.emplace(key, stem);
  return stem;
}

std::string SnowballStemmers::Lease::StemOnce(std::string_view word) {
  const Alphabet alphabet = WordAlphabet(word);
  for (std::size_t i = 0; i < stemmers_.languages_.size(); ++i) {
    const Language& language = *stemmers_.languages_[i];
    if (language.alphabet != alphabet) continue;
    if (taken_[i] == nullptr) taken_[i] = language.Take();
    sb_stemmer* const stemmer = taken_[i];
    const sb_symbol* const stem =
        sb_stemmer_stem(stemmer, reinterpret_cast<const sb_symbol*>(word.data()), static_cast<int>(word.size()));
    if (stem == nullptr) return std::string(word);
    return std::string(reinterpret_cast<const char*>(stem), static_cast<std::size_t>(sb_stemmer_length(stemmer)));
  }
  return std::string(word);
}

std::vector<std::string> SnowballStemmers::Languages() {
  std::vector<std::string> languages;
  for (const char** name = sb_stemmer_list(); *name != nullptr; ++name) languages.emplace_back(*name);
  return languages;
}

}  // namespace vexa::analysis

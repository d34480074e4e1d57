#include "tools/vexa/piece_explainer.h"

#include <cstring>

#include "platform/platform.h"

namespace vexa::inspector {
namespace {

constexpr std::size_t kWordBufferSize = 256;  // what a filter receives
constexpr std::size_t kMaxWordLength = kWordBufferSize - 1;

class Explainer {
 public:
  Explainer(const char* text, bool isQuery, const ModuleConfiguration& configuration)
      : text_(text), length_(std::strlen(text)), isQuery_(isQuery), configuration_(configuration) {}

  std::vector<Piece> Run() {
    std::size_t at = SkipNonWordChars(0);
    while (at < length_) {
      const std::size_t runStart = at;
      std::size_t chunkEnd = runStart;
      while (chunkEnd < length_ && static_cast<unsigned char>(text_[chunkEnd]) > 0x20) ++chunkEnd;
      // An empty chunk, possible when blanks are word characters, is no token.
      if (chunkEnd > runStart && Table().LookupWord(text_ + runStart, chunkEnd - runStart) == vexa::wkToken) {
        Intake(runStart, chunkEnd - runStart, false);
        at = SkipNonWordChars(chunkEnd);
        continue;
      }
      std::size_t runEnd = runStart;
      while (runEnd < length_ && IsWordChar(runEnd)) ++runEnd;
      Intake(runStart, runEnd - runStart, true);
      at = SkipNonWordChars(runEnd);
    }
    return std::move(pieces_);
  }

 private:
  const vexa::TWordLookupTable& Table() const { return configuration_.Settings().wordTable; }

  bool IsWordChar(std::size_t at) const {
    return configuration_.Settings().wordCharacters.Contains(static_cast<unsigned char>(text_[at]));
  }

  std::size_t SkipNonWordChars(std::size_t at) const {
    while (at < length_ && !IsWordChar(at)) ++at;
    return at;
  }

  // Word intake of `length` bytes at `offset`: a run (checked) or a token chunk.
  void Intake(std::size_t offset, std::size_t length, bool checkWord) {
    Piece piece;
    piece.offset = offset;
    piece.text.assign(text_ + offset, length);
    piece.isToken = !checkWord;
    if (checkWord && !isQuery_ && static_cast<long long>(length) < configuration_.Settings().minWordLength) {
      piece.fate = PieceFate::TooShort;
      pieces_.push_back(std::move(piece));
      return;
    }
    const std::size_t kept = length < kMaxWordLength ? length : kMaxWordLength;
    piece.cut = kept < length;
    char buffer[kWordBufferSize] = {};
    std::memcpy(buffer, piece.text.data(), kept);
    vexa::platform::UpperCase(buffer, kept);
    piece.listKind = checkWord ? Table().LookupWord(buffer, kept) : vexa::wkToken;
    if (piece.listKind == vexa::wkStop && !isQuery_) {
      piece.fate = PieceFate::StopWord;
    } else if (piece.listKind != vexa::wkNone || Filter(buffer, piece)) {
      piece.stored = buffer;
      piece.fate = piece.stored.empty() ? PieceFate::EmptiedByFilter : PieceFate::Stored;
    }
    pieces_.push_back(std::move(piece));
  }

  // Calls the filters in order on the word buffer, keeping each one's
  // rewrite; false when one fails (the word is dropped, the rest not called).
  bool Filter(char* buffer, Piece& piece) const {
    for (const NamedFilter& filter : configuration_.Filters()) {
      if (filter.processWord == nullptr) continue;
      FilterStep step{filter.name, buffer, {}};
      bool called = false;
      try {
        called = vexa::platform::CallFilter(filter.processWord, buffer);
      } catch (...) {
        called = false;
      }
      buffer[kWordBufferSize - 1] = '\0';  // a filter that leaves no NUL is cut there
      step.after = called ? std::string(buffer) : std::string();
      piece.filterSteps.push_back(std::move(step));
      if (!called) {
        piece.fate = PieceFate::FilterFailed;
        return false;
      }
    }
    return true;
  }

  const char* text_;
  std::size_t length_;
  bool isQuery_;
  const ModuleConfiguration& configuration_;
  std::vector<Piece> pieces_;
};

}  // namespace

std::vector<Piece> ExplainText(const char* text, bool isQuery, const ModuleConfiguration& configuration) {
  return Explainer(text, isQuery, configuration).Run();
}

}  // namespace vexa::inspector

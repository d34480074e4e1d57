#include "tools/vexa/explanation.h"

#include <algorithm>
#include <cstdio>

#include "parser/crc1632.h"
#include "phonetic/sound_code.h"

namespace vexa::inspector {
namespace {

constexpr std::size_t kResultLength = 31;   // Parser_Next's longest word
constexpr std::size_t kWidestColumn = 40;   // longer cells overflow their column

std::string Hex32(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
  return text;
}

// The explanation's word stream: each stored word as a record of its length,
// 32-bit little-endian, and its bytes.
std::uint32_t ExplainedCrc(const std::vector<Piece>& pieces) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const Piece& piece : pieces) {
    if (piece.fate != PieceFate::Stored) continue;
    vexa::UpdateCrc32WithWord(piece.stored.data(), piece.stored.size(), crc);
  }
  return crc;
}

const char* KindName(const Piece& piece) { return piece.isToken ? "token" : "word"; }

const char* ListName(vexa::TWordKind kind) {
  if (kind == vexa::wkStop) return "stop";
  if (kind == vexa::wkToken) return "token";
  return "none";
}

const char* FateName(PieceFate fate) {
  switch (fate) {
    case PieceFate::Stored: return "stored";
    case PieceFate::TooShort: return "short";
    case PieceFate::StopWord: return "stop";
    case PieceFate::EmptiedByFilter: return "emptied";
    case PieceFate::FilterFailed: return "failed";
  }
  return "";
}

// What became of a piece, in words.
std::string Story(const Piece& piece, const ModuleConfiguration& configuration) {
  std::string story;
  auto add = [&story](const std::string& part) { story += (story.empty() ? "" : "; ") + part; };
  if (piece.isToken) add("token, taken whole");
  if (piece.fate == PieceFate::TooShort) {
    add("shorter than " + std::to_string(configuration.Settings().minWordLength) + ": dropped");
    return story;
  }
  if (piece.cut) add("cut to 255 bytes");
  if (piece.fate == PieceFate::StopWord) add("stop word: dropped");
  if (piece.fate == PieceFate::Stored && piece.listKind == vexa::wkStop) add("stop word, kept by a query parser");
  if (!piece.isToken && piece.listKind == vexa::wkToken) add("listed token, not filtered");
  for (const FilterStep& step : piece.filterSteps) {
    if (piece.fate == PieceFate::FilterFailed && &step == &piece.filterSteps.back()) {
      add("filter " + step.filter + " failed: dropped");
    } else if (step.before != step.after) {
      add(step.filter + ": " + Escaped(step.before) + " -> " + (step.after.empty() ? "(empty)" : Escaped(step.after)));
    }
  }
  if (piece.fate == PieceFate::EmptiedByFilter) add("dropped");
  if (piece.fate == PieceFate::Stored && piece.stored.size() > kResultLength) {
    add("Parser_Next gives 31 of " + std::to_string(piece.stored.size()) + " bytes");
  }
  if (story.empty()) add("kept");
  return story;
}

std::string FilterField(const Piece& piece) {
  std::string field;
  for (const FilterStep& step : piece.filterSteps) {
    if (!field.empty()) field += ';';
    field += Escaped(step.filter) + ':' + Escaped(step.before) + '>' + Escaped(step.after);
  }
  return field;
}

std::string DescribeFilters(const ModuleConfiguration& configuration) {
  std::string text;
  for (const NamedFilter& filter : configuration.Filters()) {
    if (!text.empty()) text += "; ";
    text += filter.name + (filter.processWord ? "" : " (skipped: " + filter.skippedBecause + ")");
  }
  return text.empty() ? "none" : text;
}

std::string DescribeSettings(const ModuleConfiguration& configuration) {
  const vexa::TEngineSettings& settings = configuration.Settings();
  std::string text = configuration.HasConfigFile() ? "Vexa.ini" : "no Vexa.ini: built-in settings, lists and filters unread";
  text += "; minimum word length " + std::to_string(settings.minWordLength);
  text += "; word characters " + DescribeCharSet(settings.wordCharacters);
  text += "; " + std::to_string(settings.wordTable.Words().size()) + " list entries";
  return text;
}

// The row of the module's word at `position`, or empty cells past its end.
struct StoredCells {
  std::string position, word, sound;
};

StoredCells CellsAt(const Explanation& explanation, std::size_t position) {
  if (position >= explanation.module.words.size()) return {std::to_string(position), "?", ""};
  return {std::to_string(position), Escaped(explanation.module.words[position]),
          std::to_string(explanation.moduleSounds[position])};
}

std::vector<std::vector<std::string>> TableRows(const Explanation& explanation,
                                                const ModuleConfiguration& configuration) {
  std::vector<std::vector<std::string>> rows{{"offset", "piece", "kind", "what became of it", "pos", "stored", "sound"}};
  std::size_t position = 0;
  for (const Piece& piece : explanation.pieces) {
    StoredCells cells;
    if (piece.fate == PieceFate::Stored) cells = CellsAt(explanation, position++);
    rows.push_back({std::to_string(piece.offset), Escaped(piece.text), KindName(piece), Story(piece, configuration),
                    cells.position, cells.word, cells.sound});
  }
  return rows;
}

// Offsets, positions and codes, aligned to the right.
bool IsNumberColumn(std::size_t column) { return column == 0 || column == 4 || column == 6; }

std::string AlignedRows(const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::size_t> widths(rows.front().size(), 0);
  for (const auto& row : rows) {
    for (std::size_t column = 0; column < row.size(); ++column) {
      widths[column] = std::max(widths[column], std::min(row[column].size(), kWidestColumn));
    }
  }
  std::string text;
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t column = 0; column < row.size(); ++column) {
      const std::string& cell = row[column];
      const std::size_t padding = widths[column] > cell.size() ? widths[column] - cell.size() : 0;
      const std::string gap = column == 0 ? "" : "  ";
      if (IsNumberColumn(column)) {
        line += gap + std::string(padding, ' ') + cell;
      } else {
        line += gap + cell + std::string(padding, ' ');
      }
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    text += line + '\n';
  }
  return text;
}

std::string UnreachableLines(const Explanation& explanation, const ModuleConfiguration& configuration,
                             const char* prefix, const char* separator) {
  std::string text;
  for (const std::size_t index : explanation.unreachableEntries) {
    text += prefix + std::to_string(index + 1) + separator + Escaped(configuration.Settings().wordTable.Words()[index]) +
            '\n';
  }
  return text;
}

}  // namespace

std::string Escaped(const std::string& bytes) {
  std::string text;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || byte == '\\') {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      text += escaped;
    } else {
      text += c;
    }
  }
  return text;
}

void CompareWithModule(const vexa::host::VexaExports& exports, const ModuleConfiguration& configuration,
                       Explanation& explanation) {
  std::vector<const std::string*> explained;
  for (const Piece& piece : explanation.pieces) {
    if (piece.fate == PieceFate::Stored) explained.push_back(&piece.stored);
  }
  const std::vector<std::string>& words = explanation.module.words;
  std::vector<std::string>& found = explanation.disagreements;
  if (words.size() != explained.size()) {
    found.push_back("the module stores " + std::to_string(words.size()) + " words, the explanation " +
                    std::to_string(explained.size()));
  }
  for (std::size_t i = 0; i < std::min(words.size(), explained.size()); ++i) {
    const std::string expected = explained[i]->substr(0, kResultLength);
    if (words[i] != expected) {
      found.push_back("position " + std::to_string(i) + ": the module stores " + Escaped(words[i]) +
                      ", the explanation " + Escaped(expected));
    }
  }
  const std::uint32_t crc = ExplainedCrc(explanation.pieces);
  if (crc != explanation.module.crc) {
    found.push_back("Parser_CRC is " + Hex32(explanation.module.crc) + ", the explanation's words give " + Hex32(crc));
  }
  const vexa::TEngineSettings& settings = configuration.Settings();
  const vexa::TSoundCoder coder(settings.nationalLetters, settings.translationLetters);
  explanation.moduleSounds.clear();
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::int32_t sound = exports.StrSoundEX(words[i].c_str());
    explanation.moduleSounds.push_back(sound);
    if (sound != coder.Code(words[i].c_str())) {
      found.push_back("position " + std::to_string(i) + ": StrSoundEX gives " + std::to_string(sound) +
                      ", the explanation " + std::to_string(coder.Code(words[i].c_str())));
    }
  }
}

std::string RenderTable(const Explanation& explanation, const ModuleConfiguration& configuration) {
  std::string text = "module    " + explanation.modulePath + '\n';
  text += "settings  " + DescribeSettings(configuration) + '\n';
  text += "filters   " + DescribeFilters(configuration) + '\n';
  text += std::string("parser    ") + (explanation.query ? "query" : "document") + "\n\n";
  text += AlignedRows(TableRows(explanation, configuration));
  text += "\ncrc       " + Hex32(explanation.module.crc) + " (Parser_CRC of " +
          std::to_string(explanation.module.words.size()) + " words)\n";
  if (explanation.unreachableEntries.empty()) {
    text += "lists     every entry can be found\n";
  } else {
    text += "lists     entries the lookup table never finds:\n";
    text += UnreachableLines(explanation, configuration, "          line ", ": ");
  }
  for (const std::string& disagreement : explanation.disagreements) text += "DISAGREEMENT: " + disagreement + '\n';
  return text;
}

std::string RenderTsv(const Explanation& explanation, const ModuleConfiguration& configuration) {
  std::string text;
  std::size_t position = 0;
  for (const Piece& piece : explanation.pieces) {
    StoredCells cells;
    std::string length;
    if (piece.fate == PieceFate::Stored) {
      cells = CellsAt(explanation, position++);
      length = std::to_string(piece.stored.size());
    }
    text += "piece\t" + std::to_string(piece.offset) + '\t' + Escaped(piece.text) + '\t' + KindName(piece) + '\t' +
            ListName(piece.listKind) + '\t' + FateName(piece.fate) + '\t' + FilterField(piece) + '\t' + cells.position +
            '\t' + cells.word + '\t' + length + '\t' + cells.sound + '\n';
  }
  text += "crc\t" + Hex32(explanation.module.crc) + '\n';
  text += UnreachableLines(explanation, configuration, "unreachable\t", "\t");
  for (const std::string& disagreement : explanation.disagreements) text += "disagreement\t" + disagreement + '\n';
  return text;
}

}  // namespace vexa::inspector

#include "bench/scale/substring_hits.h"

#include <map>
#include <sstream>
#include <stdexcept>

namespace vexa::scale {

std::string FormatFound(const std::vector<Found>& found) {
  std::string text;
  for (const Found& entry : found) {
    std::string line = FormatPatterns({entry.pattern});
    line.back() = '\t';
    for (std::int64_t id : entry.ids) line += std::to_string(id) + " ";
    text += line + "\n";
  }
  return text;
}

std::vector<Found> ParseFound(const std::string& text) {
  std::vector<Found> found;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    const std::size_t tab = line.rfind('\t');
    const std::vector<Pattern> pattern = ParsePatterns(line.substr(0, tab));
    if (tab == std::string::npos || pattern.size() != 1) throw std::runtime_error("not a hits line: " + line);
    Found entry{pattern[0], {}};
    std::istringstream ids(line.substr(tab + 1));
    for (std::int64_t id; ids >> id;) entry.ids.push_back(id);
    found.push_back(std::move(entry));
  }
  return found;
}

std::vector<std::string> Disagreements(const std::vector<SubstringRun>& runs) {
  std::vector<std::string> lines;
  std::map<std::string, const SubstringRun*> reference;  // by corpus
  for (const SubstringRun& run : runs) {
    if (!run.whole) continue;
    const SubstringRun*& first = reference[run.corpus];
    if (first == nullptr) first = &run;
    if (run.found.size() != first->found.size()) {
      lines.push_back(run.system + " searched " + std::to_string(run.found.size()) + " patterns, " + first->system + " " +
                      std::to_string(first->found.size()));
      continue;
    }
    for (std::size_t i = 0; i < run.found.size(); ++i) {
      const Found& found = run.found[i];
      const Found& expected = first->found[i];
      if (found.ids == expected.ids && found.ids.size() == found.pattern.documents) continue;
      lines.push_back(run.system + ": \"" + found.pattern.text + "\" (" + std::to_string(found.pattern.length) + " " +
                      found.pattern.band + " " + found.pattern.cut + ") finds " + std::to_string(found.ids.size()) +
                      " documents, " + first->system + " " + std::to_string(expected.ids.size()) +
                      ", the corpus holds it in " + std::to_string(found.pattern.documents) + " (" + run.corpus + ")");
    }
  }
  return lines;
}

}  // namespace vexa::scale

// A module laid out as a server's administrator lays it out: a copy of the
// built module file (Vexa.so, Vexa.dll, libvexa_udr.so) in a directory, with
// Vexa.ini, the stop-word and token lists and the filter libraries beside
// it, where the module looks for them when it loads.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vexa::support {

// The names the module reads beside itself.
inline constexpr char kIniFileName[] = "Vexa.ini";
inline constexpr char kStopWordListFileName[] = "Vexa_skip.lst";
inline constexpr char kTokenListFileName[] = "Vexa_tkn.lst";

// A file laid beside the module: a copy of `source`, or, when there is no
// source, `contents` written out.
struct ExtraFile {
  // A copy of `source` named `name`, or by its own file name when `name` is
  // empty (a filter library, for one).
  static ExtraFile Copy(std::filesystem::path source, std::string name = {});
  static ExtraFile Written(std::string name, std::string contents);

  std::string name;      // the file's name beside the module
  std::string contents;  // bytes as written (Windows-1251 for Cyrillic)
  std::filesystem::path source;
};
using ExtraFiles = std::vector<ExtraFile>;

// Copies each of `builtModules` into `directory` under its own file name and
// lays `files` beside them, in order: a later file of a name replaces an
// earlier one. Returns the paths of the copies of `builtModules`, in order.
// Throws std::runtime_error (std::filesystem::filesystem_error for a copy)
// when a file cannot be laid out.
std::vector<std::filesystem::path> LayOutModule(const std::filesystem::path& directory,
                                                const std::vector<std::filesystem::path>& builtModules,
                                                const ExtraFiles& files);

}  // namespace vexa::support

#include "support/module_layout.h"

#include <fstream>
#include <stdexcept>
#include <utility>

namespace vexa::support {
namespace {

void CopyIn(const std::filesystem::path& source, const std::filesystem::path& target) {
  std::filesystem::copy_file(source, target, std::filesystem::copy_options::overwrite_existing);
}

void WriteIn(const std::string& contents, const std::filesystem::path& target) {
  std::ofstream file(target, std::ios::binary | std::ios::trunc);
  file.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  file.close();
  if (!file) throw std::runtime_error("cannot write " + target.string());
}

}  // namespace

ExtraFile ExtraFile::Copy(std::filesystem::path source, std::string name) {
  if (name.empty()) name = source.filename().string();
  return ExtraFile{std::move(name), {}, std::move(source)};
}

ExtraFile ExtraFile::Written(std::string name, std::string contents) {
  return ExtraFile{std::move(name), std::move(contents), {}};
}

std::vector<std::filesystem::path> LayOutModule(const std::filesystem::path& directory,
                                                const std::vector<std::filesystem::path>& builtModules,
                                                const ExtraFiles& files) {
  std::vector<std::filesystem::path> copies;
  for (const std::filesystem::path& module : builtModules) {
    copies.push_back(directory / module.filename());
    CopyIn(module, copies.back());
  }
  for (const ExtraFile& file : files) {
    if (file.source.empty()) {
      WriteIn(file.contents, directory / file.name);
    } else {
      CopyIn(file.source, directory / file.name);
    }
  }
  return copies;
}

}  // namespace vexa::support

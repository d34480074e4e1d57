#include "config/configuration.h"
#include "platform/platform.h"

namespace vexa {

std::string FilterLibraryPath(const std::string& name, const std::string& libraryDirectory) {
  if (platform::IsFullLibraryPath(name)) return name;
  const std::string fileName = platform::FileNamePart(name);
  if (fileName.empty()) return std::string();
  return libraryDirectory + fileName;
}

void LoadFilters(const TConfigFile& config, const std::string& libraryDirectory, TFilterList& filters) {
  for (const std::string& name : config.GetKeyNames("Filters")) {
    const std::string path = FilterLibraryPath(name, libraryDirectory);
    if (path.empty()) continue;
    const platform::LibraryHandle library = platform::OpenLibrary(path);
    if (library == nullptr) continue;
    auto* proc = reinterpret_cast<TProcessWordProc>(platform::LibrarySymbol(library, kProcessWordExport));
    if (proc == nullptr) {
      platform::CloseLibrary(library);
      continue;
    }
    try {
      filters.Add(TFilterEntry{library, proc});
    } catch (...) {
      platform::CloseLibrary(library);  // no entry to release it at unload
      throw;
    }
  }
}

}  // namespace vexa

#include <link.h>

#include <fstream>

#include "support/host/loaded_objects.h"

namespace vexa::host {
namespace {

struct Search {
  const std::string* fileName;
  std::string found;
};

int VisitObject(dl_phdr_info* info, std::size_t /*size*/, void* data) {
  auto* search = static_cast<Search*>(data);
  if (info->dlpi_name == nullptr) return 0;
  const std::string path = info->dlpi_name;
  const std::size_t slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name != *search->fileName) return 0;
  search->found = path;
  return 1;
}

}  // namespace

std::string LoadedObjectPath(const std::string& fileName) {
  Search search{&fileName, std::string()};
  dl_iterate_phdr(&VisitObject, &search);
  return search.found;
}

bool IsMapped(const std::filesystem::path& file) {
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);) {
    const std::size_t pathStart = line.find('/');
    if (pathStart != std::string::npos && line.compare(pathStart, std::string::npos, file.string()) == 0) return true;
  }
  return false;
}

}  // namespace vexa::host

#include "private_root.h"

#include <stdlib.h>

#include <cctype>
#include <mutex>
#include <stdexcept>

namespace vexa::firebird {
namespace {

constexpr std::chrono::seconds kScriptTimeout{60};

const char* ModeName(ServerMode mode) { return mode == ServerMode::kSuper ? "Super" : "Classic"; }

// The script prints: export NAME='value' NAME='value' ...
Environment ParseExports(const std::string& printed) {
  Environment variables;
  std::string::size_type position = 0;
  while ((position = printed.find("='", position)) != std::string::npos) {
    std::string::size_type nameStart = position;
    while (nameStart > 0 && (std::isupper(static_cast<unsigned char>(printed[nameStart - 1])) || printed[nameStart - 1] == '_')) {
      --nameStart;
    }
    const std::string::size_type valueStart = position + 2;
    const std::string::size_type valueEnd = printed.find('\'', valueStart);
    if (valueEnd == std::string::npos) break;
    if (nameStart < position) {
      variables.emplace_back(printed.substr(nameStart, position - nameStart), printed.substr(valueStart, valueEnd - valueStart));
    }
    position = valueEnd + 1;
  }
  return variables;
}

std::mutex selectedRootMutex;
std::string selectedRoot;

}  // namespace

PrivateRoot::PrivateRoot(const std::filesystem::path& rootDirectory, const std::filesystem::path& moduleDirectory,
                         ServerMode mode, const std::string& extraConfiguration) {
  const ProcessOutput output =
      RunProcess({"/bin/bash", FIREBIRD_ROOT_SCRIPT, rootDirectory.string(), moduleDirectory.string(), ModeName(mode)},
                 {{"FIREBIRD_CONF_EXTRA", extraConfiguration}}, kScriptTimeout);
  if (output.exitCode != 0) {
    throw std::runtime_error("firebird_root.sh failed (exit " + std::to_string(output.exitCode) + "): " + output.err);
  }
  variables_ = ParseExports(output.out);
  if (variables_.size() != 3 || Directory().empty()) throw std::runtime_error("unexpected output of firebird_root.sh: " + output.out);
}

std::string PrivateRoot::Directory() const {
  for (const auto& [name, value] : variables_) {
    if (name == "FIREBIRD") return value;
  }
  return std::string();
}

void PrivateRoot::SelectForThisProcess() const {
  const std::lock_guard<std::mutex> lock(selectedRootMutex);
  const std::string root = Directory();
  if (!selectedRoot.empty() && selectedRoot != root) {
    throw std::logic_error("this process already uses the Firebird root " + selectedRoot +
                           ": run each test in a process of its own (ctest does)");
  }
  for (const auto& [name, value] : variables_) setenv(name.c_str(), value.c_str(), 1);
  selectedRoot = root;
}

}  // namespace vexa::firebird

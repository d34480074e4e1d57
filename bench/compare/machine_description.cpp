#include "bench/compare/machine_description.h"

#include <sched.h>

#include <fstream>
#include <iterator>
#include <sstream>

namespace vexa::compare {
namespace {

std::string ReadSystemFile(const char* path) {
  std::ifstream in(path);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The key of a "key<tabs>: value" line, and its value.
bool SplitLine(const std::string& line, std::string& key, std::string& value) {
  const std::size_t colon = line.find(':');
  if (colon == std::string::npos) return false;
  key = Trimmed(line.substr(0, colon));
  value = Trimmed(line.substr(colon + 1));
  return true;
}

std::size_t UsableCpuCount() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) != 0) return 0;
  return static_cast<std::size_t>(CPU_COUNT(&set));
}

}  // namespace

std::string CpuModel(const std::string& cpuinfo) {
  std::istringstream lines(cpuinfo);
  std::string line, key, value;
  while (std::getline(lines, line)) {
    if (SplitLine(line, key, value) && key == "model name" && !value.empty()) return value;
  }
  return "unknown CPU";
}

std::size_t LogicalCpuCount(const std::string& cpuinfo) {
  std::istringstream lines(cpuinfo);
  std::string line, key, value;
  std::size_t count = 0;
  while (std::getline(lines, line)) {
    if (SplitLine(line, key, value) && key == "processor") ++count;
  }
  return count;
}

std::string LoadAverages(const std::string& loadavg) {
  std::istringstream fields(loadavg);
  std::string one, five, fifteen;
  if (!(fields >> one >> five >> fifteen)) return "unknown";
  return one + " " + five + " " + fifteen;
}

std::string MachineDescription() {
  const std::string cpuinfo = ReadSystemFile("/proc/cpuinfo");
  return CpuModel(cpuinfo) + ", " + std::to_string(LogicalCpuCount(cpuinfo)) + " logical CPUs, " +
         std::to_string(UsableCpuCount()) + " usable by this process";
}

std::string CurrentLoadAverages() { return LoadAverages(ReadSystemFile("/proc/loadavg")); }

}  // namespace vexa::compare

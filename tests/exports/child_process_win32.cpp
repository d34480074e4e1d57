#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "child_process.h"
#include "support/host/temp_directory.h"

namespace vexa::test {
namespace {

// An argument as the C runtime's command-line parser gives it back: quoted
// when it is empty or holds a blank or a quote; backslashes are literal
// except before a quote, where they are doubled.
std::string QuotedArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(2 * backslashes, '\\');
  quoted.push_back('"');
  return quoted;
}

std::string CommandLine(const std::vector<std::string>& argv) {
  std::string line;
  for (const std::string& argument : argv) {
    if (!line.empty()) line.push_back(' ');
    line += QuotedArgument(argument);
  }
  return line;
}

std::string Upper(std::string name) {
  std::transform(name.begin(), name.end(), name.begin(),
                 [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
  return name;
}

// This process's environment with the changes made, as the block
// CreateProcess takes: "NAME=value" strings, each ending in a zero byte,
// sorted, and a zero byte after the last. Names are one when they differ
// only in case, as Windows takes them ("Path" is PATH).
std::string EnvironmentBlock(const EnvironmentChanges& changes) {
  std::vector<std::pair<std::string, std::string>> variables;  // upper-cased name, "NAME=value"
  char* strings = GetEnvironmentStringsA();
  for (const char* entry = strings; entry != nullptr && *entry != '\0'; entry += std::strlen(entry) + 1) {
    const std::string text = entry;
    // Entries such as "=C:=C:\dir" keep each drive's directory: a name may
    // start with '='.
    const std::size_t equals = text.find('=', 1);
    if (equals != std::string::npos) variables.emplace_back(Upper(text.substr(0, equals)), text);
  }
  FreeEnvironmentStringsA(strings);
  for (const auto& [name, value] : changes) {
    const std::string key = Upper(name);
    variables.erase(std::remove_if(variables.begin(), variables.end(),
                                   [&key](const auto& variable) { return variable.first == key; }),
                    variables.end());
    variables.emplace_back(key, name + "=" + value);
  }
  std::stable_sort(variables.begin(), variables.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::string block;
  for (const auto& variable : variables) {
    block += variable.second;
    block.push_back('\0');
  }
  block.push_back('\0');
  return block;
}

// A handle the child inherits as one of its standard streams.
class InheritedHandle {
 public:
  InheritedHandle(const std::string& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    handle_ = CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path + " for a child");
  }
  ~InheritedHandle() { CloseHandle(handle_); }
  InheritedHandle(const InheritedHandle&) = delete;
  InheritedHandle& operator=(const InheritedHandle&) = delete;

  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// NTSTATUS values of the error kind: the process ended by an exception
// (an access violation is 0xC0000005), not by exiting.
bool EndedByException(DWORD exitCode) { return (exitCode & 0xC0000000u) == 0xC0000000u; }

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv, const EnvironmentChanges& environment) {
  const vexa::host::TempDirectory outputs;
  const std::filesystem::path outPath = outputs.Path() / "stdout";
  const std::filesystem::path errPath = outputs.Path() / "stderr";
  std::string environmentBlock = EnvironmentBlock(environment);
  std::string commandLine = CommandLine(argv);
  const std::string program = std::filesystem::absolute(argv.front()).string();

  PROCESS_INFORMATION process{};
  {
    const InheritedHandle in("NUL", GENERIC_READ, OPEN_EXISTING);
    const InheritedHandle out(outPath.string(), GENERIC_WRITE, CREATE_ALWAYS);
    const InheritedHandle err(errPath.string(), GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in.Get();
    startup.hStdOutput = out.Get();
    startup.hStdError = err.Get();
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                        environmentBlock.data(), nullptr, &startup, &process)) {
      throw std::runtime_error("cannot start " + program + ": error " + std::to_string(GetLastError()));
    }
  }
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 0;
  const bool known = GetExitCodeProcess(process.hProcess, &exitCode) != 0;
  CloseHandle(process.hProcess);

  ProcessResult result;
  result.exitCode = known && !EndedByException(exitCode) ? static_cast<int>(exitCode) : -1;
  result.out = ReadFile(outPath);
  result.err = ReadFile(errPath);
  return result;
}

}  // namespace vexa::test

#include "bounded_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

#include "support/host/child_launch_posix.h"
#include "support/host/temp_directory.h"

namespace vexa::firebird {
namespace {

constexpr std::chrono::milliseconds kPollInterval{20};

// Everything the child needs is prepared before fork: after it, only
// async-signal-safe calls are made.
pid_t Start(const std::vector<std::string>& argv, const Environment& environment, const std::string& outPath,
            const std::string& errPath) {
  std::vector<std::string> arguments = argv;
  std::vector<std::string> variables = vexa::host::EnvironmentWith(environment);
  std::vector<char*> argumentPointers = vexa::host::NullTerminatedPointers(arguments);
  std::vector<char*> variablePointers = vexa::host::NullTerminatedPointers(variables);
  const pid_t parent = getpid();

  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("cannot fork for " + argv.front());
  if (child == 0) {
    // Die with the starting thread; a parent gone already is caught here.
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) _exit(126);
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    const int err = errPath == outPath ? out : open(errPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (in < 0 || out < 0 || err < 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    execve(argumentPointers[0], argumentPointers.data(), variablePointers.data());
    _exit(127);
  }
  return child;
}

// The exit code of a reaped child, -1 when a signal ended it.
int ExitCodeOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

}  // namespace

ProcessOutput RunProcess(const std::vector<std::string>& argv, const Environment& environment,
                         std::chrono::milliseconds timeout) {
  const vexa::host::TempDirectory outputs;
  const std::string outPath = (outputs.Path() / "stdout").string();
  const std::string errPath = (outputs.Path() / "stderr").string();
  const pid_t child = Start(argv, environment, outPath, errPath);

  ProcessOutput result;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  int status = 0;
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      result.timedOut = true;
      break;
    }
    std::this_thread::sleep_for(kPollInterval);
  }
  result.exitCode = result.timedOut ? -1 : ExitCodeOf(status);
  result.out = vexa::host::FileContents(outPath);
  result.err = vexa::host::FileContents(errPath);
  return result;
}

BackgroundProcess::BackgroundProcess(const std::vector<std::string>& argv, const Environment& environment,
                                     const std::filesystem::path& logFile)
    : pid_(Start(argv, environment, logFile.string(), logFile.string())) {}

BackgroundProcess::~BackgroundProcess() { Stop(std::chrono::seconds(10)); }

bool BackgroundProcess::IsRunning() {
  if (ended_) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) == pid_) ended_ = true;
  return !ended_;
}

bool BackgroundProcess::Stop(std::chrono::milliseconds grace) {
  if (!IsRunning()) return true;
  kill(pid_, SIGTERM);
  const auto deadline = std::chrono::steady_clock::now() + grace;
  while (std::chrono::steady_clock::now() < deadline) {
    if (!IsRunning()) return true;
    std::this_thread::sleep_for(kPollInterval);
  }
  kill(pid_, SIGKILL);
  int status = 0;
  waitpid(pid_, &status, 0);
  ended_ = true;
  return false;
}

}  // namespace vexa::firebird

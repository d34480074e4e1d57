// Child processes with a deadline: a program run to its end (isql, the root
// script), and a program left running in the background (the server). A
// child dies with the thread that started it, so a crashed test leaves no
// process behind.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace vexa::firebird {

// Variables set (or replaced) in the child's copy of this process's environment.
using Environment = std::vector<std::pair<std::string, std::string>>;

struct ProcessOutput {
  int exitCode = -1;  // -1 when it did not exit normally
  bool timedOut = false;
  std::string out;
  std::string err;
};

// Runs argv (argv[0] is the program's path) to its end; kills it when it
// runs past `timeout`.
ProcessOutput RunProcess(const std::vector<std::string>& argv, const Environment& environment,
                         std::chrono::milliseconds timeout);

class BackgroundProcess {
 public:
  // Starts argv with its standard output and error going to `logFile`.
  BackgroundProcess(const std::vector<std::string>& argv, const Environment& environment,
                    const std::filesystem::path& logFile);
  // Stops the process, if it still runs.
  ~BackgroundProcess();
  BackgroundProcess(const BackgroundProcess&) = delete;
  BackgroundProcess& operator=(const BackgroundProcess&) = delete;

  pid_t Pid() const { return pid_; }
  // False once the process has ended (it is reaped then).
  bool IsRunning();
  // SIGTERM, then SIGKILL when it has not ended within `grace`. True when it
  // ended on SIGTERM (or had ended before).
  bool Stop(std::chrono::milliseconds grace);

 private:
  pid_t pid_ = -1;
  bool ended_ = false;
};

}  // namespace vexa::firebird

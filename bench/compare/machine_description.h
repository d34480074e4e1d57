// What the comparison ran on, for the report: the CPU model, how many CPUs
// there are and how many this process may use, and the load average, which
// tells how much else the machine was doing.
#pragma once

#include <cstddef>
#include <string>

namespace vexa::compare {

// From the text of /proc/cpuinfo: the first "model name" ("unknown CPU"
// when there is none), and the number of "processor" entries.
std::string CpuModel(const std::string& cpuinfo);
std::size_t LogicalCpuCount(const std::string& cpuinfo);

// From the text of /proc/loadavg: its first three fields, the load averages
// over 1, 5 and 15 minutes ("unknown" when they are not there).
std::string LoadAverages(const std::string& loadavg);

// "AMD EPYC, 2 logical CPUs, 2 usable by this process".
std::string MachineDescription();

// The load averages of this machine now.
std::string CurrentLoadAverages();

}  // namespace vexa::compare

#include "bench/compare/machine_description.h"

#include <gtest/gtest.h>

namespace vexa::compare {
namespace {

const std::string kCpuinfo =
    "processor\t: 0\nvendor_id\t: AuthenticAMD\nmodel name\t: AMD EPYC 7B13\ncpu cores\t: 1\n\n"
    "processor\t: 1\nvendor_id\t: AuthenticAMD\nmodel name\t: AMD EPYC 7B13\ncpu cores\t: 1\n\n";

TEST(MachineDescription, TakesTheFirstModelName) { EXPECT_EQ(CpuModel(kCpuinfo), "AMD EPYC 7B13"); }

TEST(MachineDescription, CountsTheProcessorEntries) { EXPECT_EQ(LogicalCpuCount(kCpuinfo), 2U); }

TEST(MachineDescription, ACpuinfoWithoutModelNamesSaysSo) {
  EXPECT_EQ(CpuModel("processor\t: 0\nFeatures\t: fp asimd\n"), "unknown CPU");
  EXPECT_EQ(LogicalCpuCount(""), 0U);
}

TEST(MachineDescription, LoadAveragesAreTheFirstThreeFields) {
  EXPECT_EQ(LoadAverages("4.79 2.60 1.68 3/412 81234\n"), "4.79 2.60 1.68");
  EXPECT_EQ(LoadAverages(""), "unknown");
}

TEST(MachineDescription, ThisMachineHasAtLeastOneUsableCpu) {
  const std::string description = MachineDescription();
  EXPECT_NE(description.find(" logical CPUs, "), std::string::npos) << description;
  EXPECT_EQ(description.find(", 0 usable"), std::string::npos) << description;
}

}  // namespace
}  // namespace vexa::compare

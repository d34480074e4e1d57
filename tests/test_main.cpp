// main of the Windows test programs: standard output in binary mode, so that
// CTest, reading the list of tests through Wine, gets "\n" line ends.
#include <gtest/gtest.h>

#include "support/host/binary_streams.h"

int main(int argc, char** argv) {
  vexa::host::UseBinaryStandardStreams();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// Standard input, output and error as plain bytes. On Windows the C runtime opens
// them in text mode, which writes "\r\n" for every "\n"; a host that prints
// words and test results for other programs to read wants the bytes as on
// POSIX, where nothing changes.
#pragma once

namespace vexa::host {

void UseBinaryStandardStreams();

}  // namespace vexa::host

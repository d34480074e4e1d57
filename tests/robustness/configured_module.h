// A copy of the module laid out as a server would have it: Vexa.ini, the
// stop-word and token lists and a filter plug-in beside it.
#pragma once

#include <string>
#include <vector>

#include "loaded_module.h"

namespace vexa::test {

// A file copied from the filters the exports tests build, e.g.
// "strip_final_s_filter", as NAME.so beside the module.
ExtraFile TestFilter(const std::string& name);

// The misbehaving filter of these tests, as misbehaving_filter.so.
ExtraFile MisbehavingFilter();

// Vexa.ini with Cyrillic word characters and national letters, a minimum
// length of 3 and the strip-final-S filter; the lists hold English and
// Russian stop words and tokens such as TCP/IP and C++.
std::vector<ExtraFile> FullConfiguration();

}  // namespace vexa::test

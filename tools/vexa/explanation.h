// What explain shows: the pieces of a text as worked out beside the module,
// set against what the module itself stored, and the two rendered as a
// table for people or as tab-separated records for scripts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/host/vexa_module.h"
#include "tools/vexa/module_calls.h"
#include "tools/vexa/module_configuration.h"
#include "tools/vexa/piece_explainer.h"

namespace vexa::inspector {

struct Explanation {
  std::string modulePath;
  bool query = false;
  std::vector<Piece> pieces;
  ModuleSplit module;                     // the module's words and CRC
  std::vector<std::int32_t> moduleSounds;  // StrSoundEX of each of the module's words
  std::vector<std::string> disagreements;  // where the module and the explanation differ
  std::vector<std::size_t> unreachableEntries;  // list indexes the lookup table never finds
};

// Sets the module's words, CRC and codes against the pieces and the core's
// codes, and fills in `disagreements`.
void CompareWithModule(const vexa::host::VexaExports& exports, const ModuleConfiguration& configuration,
                       Explanation& explanation);

std::string RenderTable(const Explanation& explanation, const ModuleConfiguration& configuration);
std::string RenderTsv(const Explanation& explanation, const ModuleConfiguration& configuration);

// Bytes below 0x20, DEL and the backslash as \xNN, so that a piece can
// neither break a record nor steer the terminal.
std::string Escaped(const std::string& bytes);

}  // namespace vexa::inspector

// The configuration a loaded module runs with, read once when it is loaded
// from Vexa.ini and the lists beside the module file, and the phonetic coder
// made from its letters. The UDF module and the UDR module each keep one.
#pragma once

#include <memory>
#include <string>

#include "config/engine_settings.h"
#include "phonetic/sound_code.h"

namespace vexa {

struct ModuleConfiguration {
  ModuleConfiguration() = default;
  ModuleConfiguration(const ModuleConfiguration&) = delete;
  ModuleConfiguration& operator=(const ModuleConfiguration&) = delete;
  // Unloads the word filters in list order and releases the word lists.
  ~ModuleConfiguration();

  // The module file's directory, ending in a separator; empty when the
  // system could not tell.
  std::string directory;
  TEngineSettings settings;
  // Made from the settings' letters once they are read.
  std::unique_ptr<TSoundCoder> soundCoder;
};

// Reads the configuration beside the module this code is linked into.
// Without a Vexa.ini there no filter and no word list is loaded, even where
// the list files exist; out of memory part-way through the file leaves the
// settings read so far. Throws std::bad_alloc when the directory or the
// phonetic coder could not be had.
void ReadModuleConfiguration(ModuleConfiguration& configuration);

}  // namespace vexa

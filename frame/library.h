// The library's process-wide state, made when the module is loaded and
// released when it is unloaded.
#pragma once

#include "config/engine_settings.h"
#include "frame/handle_table.h"
#include "frame/udf_lib.h"
#include "phonetic/sound_code.h"

#include <memory>

namespace vexa {

struct Library {
  UDFLib udfLib;
  TEngineSettings settings;
  HandleTable handles;
  // Made from the settings' letters once they are read.
  std::unique_ptr<TSoundCoder> soundCoder;
};

// The loaded library, or null when start-up could not complete (then every
// export answers as for a bad handle).
Library* LoadedLibrary();

}  // namespace vexa

// The UDF module's process-wide state, made when the module is loaded and
// released when it is unloaded.
#pragma once

#include "frame/handle_table.h"
#include "frame/module_configuration.h"
#include "frame/udf_lib.h"

namespace vexa {

struct Library {
  ModuleConfiguration configuration;
  UDFLib udfLib;
  HandleTable handles;
};

// The loaded library, or null when start-up could not complete (then every
// export answers as for a bad handle).
Library* LoadedLibrary();

}  // namespace vexa

// The UDR module's process-wide state: its configuration, read when the
// engine loads the module and released when it unloads it.
#pragma once

#include "frame/module_configuration.h"

namespace vexa::udr {

// The module's configuration. Throws a RoutineError when the module could
// not start (out of memory while loading).
const ModuleConfiguration& StartedConfiguration();

}  // namespace vexa::udr

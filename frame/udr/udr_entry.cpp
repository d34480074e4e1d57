// The module's one export, firebird_udr_plugin: the engine calls it once
// after loading the module, and it registers the routines' factories. The
// configuration was read when the module was mapped, beside this file.
#include "frame/udr/firebird_udr.h"

FB_UDR_IMPLEMENT_ENTRY_POINT

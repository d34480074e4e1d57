// Module life on POSIX: the dynamic loader runs the constructor when the
// module is mapped (dlopen) and the destructor when it is unmapped (the last
// dlclose, or process exit).
#include "platform/platform.h"

namespace vexa::platform {
namespace {

__attribute__((constructor)) void ModuleConstructor() { OnModuleLoad(); }

__attribute__((destructor)) void ModuleDestructor() { OnModuleUnload(); }

}  // namespace
}  // namespace vexa::platform

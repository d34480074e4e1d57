// Module life on Windows: the loader calls DllMain with process attach when
// the server loads Vexa.dll and with process detach when it unloads it.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/fault_guard_win32.h"

namespace {

// When the process is ending (reserved != null) the system has already
// stopped every other thread, perhaps inside our lock or a filter, and frees
// the whole address space right after: unloading filters and taking locks
// then could only hang the exit, so the clean-up is left to the system.
bool ProcessIsEnding(LPVOID reserved) { return reserved != nullptr; }

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      // Thread start and end notifications would do nothing.
      DisableThreadLibraryCalls(module);
      vexa::platform::InstallFaultGuard();
      vexa::platform::OnModuleLoad();
      break;
    case DLL_PROCESS_DETACH:
      if (ProcessIsEnding(reserved)) break;
      vexa::platform::OnModuleUnload();
      vexa::platform::RemoveFaultGuard();
      break;
    default:
      break;
  }
  return TRUE;
}

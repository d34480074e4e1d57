// The per-thread catch of processor faults raised inside a word filter: a
// vectored exception handler, installed for the module's lifetime, that acts
// only on a thread that is inside CallFilter.
#pragma once

namespace vexa::platform {

// Process attach, before the filters are loaded.
void InstallFaultGuard() noexcept;

// Process detach, after the filters are released.
void RemoveFaultGuard() noexcept;

}  // namespace vexa::platform

// The module's one export, firebird_udr_plugin: the engine calls it once
// after loading the module, and it registers the routines' factories. The
// configuration was read when the module was mapped, beside this file.
#include "frame/udr/firebird_udr.h"

FB_UDR_IMPLEMENT_ENTRY_POINT

namespace {

// Firebird's UDR header allocates a node per routine when the module is
// mapped and never frees them; an engine that loads and unloads the module
// would lose them each time. They are only read while firebird_udr_plugin
// registers the factories, so they go when the module is unmapped.
template <typename Factory>
void FreeRegistrations(Firebird::Udr::RegistrationNode<Factory>*& list) noexcept {
  while (list != nullptr) {
    Firebird::Udr::RegistrationNode<Factory>* next = list->next;
    delete list;
    list = next;
  }
}

struct RegistrationRelease {
  ~RegistrationRelease() {
    FreeRegistrations(Firebird::Udr::regFunctions);
    FreeRegistrations(Firebird::Udr::regProcedures);
    FreeRegistrations(Firebird::Udr::regTriggers);
  }
};

const RegistrationRelease kRegistrationRelease;

}  // namespace

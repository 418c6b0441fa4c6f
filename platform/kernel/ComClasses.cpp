// CoCreateInstance over the classes the layer's libraries register.
#include "ComClasses.h"

#include <vector>

#include "platform/modules/SystemModules.h"

namespace twl {
namespace {

struct ComClass {
  GUID clsid;
  const char* libraryName;
  ComClassFactory factory;
};

std::vector<ComClass>& Classes() {
  static auto* classes = new std::vector<ComClass>;  // never destroyed: used during exit
  return *classes;
}

}  // namespace

ComClassRegistration::ComClassRegistration(const GUID& clsid, const char* libraryName, ComClassFactory factory) {
  Classes().push_back({clsid, libraryName, factory});
}

}  // namespace twl

TWLAPI HRESULT CoCreateInstance(REFGUID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  for (const twl::ComClass& entry : twl::Classes()) {
    if (!(entry.clsid == clsid)) continue;
    if (!(context & CLSCTX_INPROC_SERVER) || !twl::FindSystemLibrary(entry.libraryName)) return REGDB_E_CLASSNOTREG;
    if (outer) return CLASS_E_NOAGGREGATION;
    return entry.factory(iid, object);
  }
  return REGDB_E_CLASSNOTREG;
}

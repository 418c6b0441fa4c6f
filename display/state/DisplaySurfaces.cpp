#include "display/state/DisplaySurfaces.h"

#include <atomic>

namespace {

std::atomic<CDisplaySurfaces*> theCurrent{nullptr};

}  // namespace

CDisplaySurfaces* CDisplaySurfaces::GetCurrent() { return theCurrent.load(); }

void CDisplaySurfaces::SetCurrent(CDisplaySurfaces* surfaces) { theCurrent.store(surfaces); }

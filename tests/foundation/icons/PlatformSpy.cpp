#include "PlatformSpy.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>

namespace spy {

Record& Calls() {
  static Record record;
  return record;
}

void Reset() { Calls() = Record{}; }

int DestroyCount(HICON icon) {
  const auto& destroyed = Calls().destroyed;
  return static_cast<int>(std::count(destroyed.begin(), destroyed.end(), icon));
}

}  // namespace spy

namespace {

// The platform layer's own function of that name.
template <class Function>
Function Next(const char* name) {
  void* found = dlsym(RTLD_NEXT, name);
  if (!found) std::abort();
  return reinterpret_cast<Function>(found);
}

}  // namespace

BOOL DestroyIcon(HICON icon) {
  static const auto next = Next<BOOL (*)(HICON)>("DestroyIcon");
  spy::Calls().destroyed.push_back(icon);
  return next(icon);
}

HICON ExtractIconA(HINSTANCE instance, LPCSTR file, UINT index) {
  static const auto next = Next<HICON (*)(HINSTANCE, LPCSTR, UINT)>("ExtractIconA");
  HICON icon = next(instance, file, index);
  ++spy::Calls().extractCalls;
  if (icon) spy::Calls().extracted.push_back(icon);
  return icon;
}

int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon) {
  static const auto next = Next<int (*)(HIMAGELIST, int, HICON)>("ImageList_ReplaceIcon");
  if (spy::Calls().failAdds > 0) {
    --spy::Calls().failAdds;
    return -1;
  }
  return next(list, index, icon);
}

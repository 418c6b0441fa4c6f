#include "app/core/OwnerWindow.h"

bool IsOwnerWindowOfAnInstance(HWND window) {
  if (GetClassLongA(window, GCL_CBWNDEXTRA) < kOwnerWindowExtraBytes) return false;
  for (int word = 0; word < 4; ++word) {
    if (static_cast<DWORD>(GetWindowLongA(window, kOwnerDataSignature + 4 * word)) != kOwnerSignature[word])
      return false;
  }
  return static_cast<DWORD>(GetWindowLongA(window, kOwnerDataVersion)) == kOwnerVersionField;
}

INT GetOwnerWindowInstance(HWND window) { return static_cast<INT>(GetWindowLongA(window, kOwnerDataInstance)); }

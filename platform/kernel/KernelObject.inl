#pragma once

#include "twlwin/errors.h"

namespace twl {

template <class T>
std::shared_ptr<T> FindHandleAs(HANDLE handle, ObjectKind kind) {
  auto object = FindHandle(handle);
  if (!object || object->Kind() != kind) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return std::static_pointer_cast<T>(object);
}

}  // namespace twl

// The names of events, mutexes and semaphores inside this process: one
// namespace for all three kinds, as Windows has it. Names are case-sensitive.
// Cross-process sharing is up to each kind (only mutexes reach other
// processes, through the desktop folder).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "KernelObject.h"

namespace twl {

struct NamedLookup {
  HANDLE handle = nullptr;  // a new handle to the object, or null on failure
  bool existed = false;     // the name was already in use
};

// Opens `name` if an object of `kind` holds it, else creates one with
// `make` (unless `make` is empty: then "not found"). Sets the last error as
// the Create/Open calls must leave it: ERROR_ALREADY_EXISTS when it existed,
// ERROR_SUCCESS when it was made, ERROR_INVALID_HANDLE when the name belongs
// to an object of another kind, ERROR_FILE_NOT_FOUND when it is missing.
NamedLookup OpenOrCreateNamed(const std::string& name, ObjectKind kind,
                              const std::function<std::shared_ptr<KernelObject>()>& make);

}  // namespace twl

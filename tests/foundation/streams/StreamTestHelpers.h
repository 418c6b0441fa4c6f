// Catching stream errors in the stream tests.
#pragma once

#include <functional>

#include "foundation/streams/StreamError.h"

namespace streamtest {

struct Caught {
  long long code = -1;  // -1: nothing thrown; -2: an error of another class
  CStr text;
  CStr path;
};

inline Caught CatchStreamError(const std::function<void()>& action) {
  Caught caught;
  try {
    action();
  } catch (CError* error) {
    caught.code = -2;
    caught.text = error->GetText();
    if (IsKindOf<CStreamError>(error)) {
      caught.code = static_cast<CStreamError*>(error)->GetCode();
      caught.path = static_cast<CStreamError*>(error)->GetPath();
    }
    DisposeError(error);
  }
  return caught;
}

inline long long CodeThrown(const std::function<void()>& action) { return CatchStreamError(action).code; }

}  // namespace streamtest

// The records of the viewer's request queue: what a user (or the provider)
// asked, stamped with its id and the generation it was asked in, and the
// window records of operations handed to the provider. The viewer window
// system owns them; the queue lock guards the lists they stand in.
#pragma once

#include <windows.h>

#include <cstdint>

#include "foundation/errors/ThreadErrorState.h"

enum ViewerRequestCode : int32_t {
  VIEWER_REQUEST_CREATE = 0,
  VIEWER_REQUEST_RESIZE = 1,
  VIEWER_REQUEST_CLOSE = 2,
  VIEWER_REQUEST_CREATE_DONE = 100,
  VIEWER_REQUEST_RESIZE_DONE = 101,
};

enum ViewerRequestStatus : int32_t {
  VIEWER_REQUEST_OK = 0,
  VIEWER_REQUEST_FAILED = 1,   // the saved error says why
  VIEWER_REQUEST_REFUSED = 2,  // stale or not allowed
};

// A create or resize handed to the provider.
struct ViewerWindowRecord {
  int32_t kind = 0;  // 0 create, 1 resize
  int32_t id = 0;
  int32_t generation = 0;
  const void* caller = nullptr;
  bool recreation = false;
  bool silent = false;
  bool dropped = false;
  INT requestedHeight = 0;
  INT nonContentHeight = 0;
  INT windowHeight = 0;
  DWORD flags = 0;
};

struct ViewerRequest {
  int32_t code = 0;
  int32_t status = VIEWER_REQUEST_OK;
  int32_t generation = 0;
  int32_t id = 0;
  ThreadErrorState* savedError = nullptr;  // CopyThreadError's, or null
  const void* caller = nullptr;
  INT contentHeight = 0;  // create and resize
  DWORD flags = 0;        // create
  ViewerWindowRecord* window = nullptr;  // the completions
  int32_t counted = 0;
  bool skinChanged = false;

  ViewerRequest() = default;
  ViewerRequest(const ViewerRequest&) = delete;
  ViewerRequest& operator=(const ViewerRequest&) = delete;
  ~ViewerRequest() {
    delete window;
    if (savedError) FreeThreadErrorCopy(savedError);
  }
};

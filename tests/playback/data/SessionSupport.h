// What the session tests share: the flags a reading plug-in's open arrives
// with, the handles of the slot owners, binding the player's slot, and the
// code of a stream error a piece of work throws.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "foundation/kernel/Error.h"
#include "foundation/streams/StreamError.h"
#include "foundation/streams/StreamFlags.h"
#include "playback/data/DataSystem.h"

namespace sessions {

// What host API slot 136 hands on for a plug-in that reads.
constexpr DWORD kReadFlags = kStreamRead | kStreamShareRead | kStreamShareWrite | kStreamOpenExistingToo;

inline PLUGIN_HANDLE Handle(uintptr_t value) { return reinterpret_cast<PLUGIN_HANDLE>(value); }
inline PLUGIN_HANDLE Player() { return Handle(0x100); }
inline PLUGIN_HANDLE Identifier() { return Handle(0x200); }
inline PLUGIN_HANDLE Stranger() { return Handle(0x300); }

// The data system with the player's slot owned by `owner` and bound to
// the URL.
inline CDataSystem& BoundTo(const std::string& url, PLUGIN_HANDLE owner = Player()) {
  CDataSystem& data = GetDataSystem();
  data.SetSessionOwner(kPlayerSession, owner);
  data.SetSessionUrl(kPlayerSession, url.c_str());
  return data;
}

// The code of the stream error that `work` throws; 0 when it throws
// nothing, -1 for another error.
template <class Work>
long StreamErrorOf(Work work) {
  try {
    work();
  } catch (CError* error) {
    const auto* streamError = IsKindOf<CStreamError>(error) ? static_cast<CStreamError*>(error) : nullptr;
    const long code = streamError ? static_cast<long>(streamError->GetCode()) : -1;
    DisposeError(error);
    return code;
  }
  return 0;
}

}  // namespace sessions

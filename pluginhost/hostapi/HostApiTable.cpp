// The host API table: one constant table, filled slot by slot at compile
// time. Slots of services this host does not offer yet hold the one
// placeholder, which fails with an invalid parameter.
#include <cstring>
#include <type_traits>

#include "foundation/errors/ThreadErrorState.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/hostapi/HostApiTesting.h"
#include "pluginhost/hostapi/HostSlots.h"

namespace hostapi {

uintptr_t HOST_Unavailable() {
  HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
  return 0;
}

}  // namespace hostapi

namespace {

using namespace hostapi;

// A named slot whose service is still missing: fails like the placeholder.
template <class R, class... A>
R UnavailableSlot(A...) {
  HOST_Unavailable();
  return R{};
}
template <class... A>
void UnavailableVoidSlot(A...) {
  HOST_Unavailable();
}
template <class R, class... A>
constexpr void Unavailable(R (*&slot)(A...)) {
  if constexpr (std::is_void_v<R>) {
    slot = &UnavailableVoidSlot<A...>;
  } else {
    slot = &UnavailableSlot<R, A...>;
  }
}

template <size_t N>
constexpr void Reserve(HOST_ReservedSlot (&slots)[N]) {
  for (auto& slot : slots) slot = &HOST_Unavailable;
}

constexpr HostApiTable BuildTable() {
  HostApiTable t{};
  Reserve(t.reserved34_57);
  Reserve(t.reserved62_134);
  Reserve(t.reserved159_233);
  Reserve(t.reserved237_242);

  t.HOST_GetPlayerVersion = &HOST_GetPlayerVersion;
  t.HOST_SetError = &HOST_SetError;
  t.HOST_SetErrorText = &HOST_SetErrorText;
  Unavailable(t.HOST_SetDirectDrawError);
  Unavailable(t.HOST_SetDirectSoundError);
  Unavailable(t.HOST_SetStreamError);
  Unavailable(t.HOST_SetWinMMError);
  Unavailable(t.HOST_SetMCIError);
  t.HOST_SetMiscError = &HOST_SetMiscError;
  Unavailable(t.HOST_ExtendErrorText);
  Unavailable(t.HOST_SaveError);
  Unavailable(t.HOST_RestoreError);
  Unavailable(t.HOST_FreeError);
  t.HOST_GetErrorType = &HOST_GetErrorType;
  t.HOST_GetErrorCode = &HOST_GetErrorCode;
  t.HOST_GetErrorText = &HOST_GetErrorText;
  Unavailable(t.HOST_GetDirectDrawErrorCode);
  Unavailable(t.HOST_GetDirectSoundErrorCode);
  Unavailable(t.HOST_GetStreamErrorCode);
  Unavailable(t.HOST_GetWinMMErrorCode);
  Unavailable(t.HOST_GetMCIErrorCode);
  Unavailable(t.HOST_GetMiscErrorCode);
  Unavailable(t.HOST_GetDirectDrawErrorText);
  Unavailable(t.HOST_GetDirectSoundErrorText);
  Unavailable(t.HOST_GetStreamErrorText);
  Unavailable(t.HOST_GetWinMMErrorText);
  Unavailable(t.HOST_GetMCIErrorText);
  Unavailable(t.HOST_GetMiscErrorText);
  Unavailable(t.HOST_LogWrite);
  Unavailable(t.HOST_LogWriteParams);
  Unavailable(t.HOST_LogError);
  Unavailable(t.HOST_MessageBox);
  t.HOST_Alloc = &HOST_Alloc;
  t.HOST_Free = &HOST_Free;
  Unavailable(t.HOST_GetControlFont);
  Unavailable(t.HOST_GetWindowHandle);
  Unavailable(t.HOST_GetFolder);
  t.HOST_AllocString = &HOST_AllocString;
  Unavailable(t.HOST_GetFileSystemInfo);
  Unavailable(t.HOST_OpenStream);
  Unavailable(t.HOST_StreamSetProperty);
  Unavailable(t.HOST_StreamGetPath);
  Unavailable(t.HOST_StreamGetFlags);
  Unavailable(t.HOST_StreamRead);
  Unavailable(t.HOST_StreamReadSome);
  Unavailable(t.HOST_StreamSkip);
  Unavailable(t.HOST_StreamSkipSome);
  Unavailable(t.HOST_StreamSeek);
  Unavailable(t.HOST_StreamCanSeek);
  Unavailable(t.HOST_StreamGetPosition);
  Unavailable(t.HOST_StreamGetLength);
  Unavailable(t.HOST_StreamGetTransferRate);
  Unavailable(t.HOST_StreamGetContentType);
  Unavailable(t.HOST_StreamIsEOF);
  Unavailable(t.HOST_StreamCheckError);
  Unavailable(t.HOST_StreamClose);
  Unavailable(t.HOST_StreamRelease);
  Unavailable(t.GetExclusiveFileAccess);
  Unavailable(t.HOST_CreateInstantFileCreator);
  Unavailable(t.HOST_CreateThreadFileCreator);
  Unavailable(t.HOST_FileCreatorGetFileName);
  Unavailable(t.HOST_FileCreatorRelease);
  Unavailable(t.HOST_LogWriteTime);
  Unavailable(t.HOST_LogWriteDate);
  Unavailable(t.HOST_LogWriteDateAndTime);
  Unavailable(t.HOST_GetPlayerName);
  return t;
}

constinit const HostApiTable kHostApiTable = BuildTable();

}  // namespace

const HostApiTable* GetHostApiTable() { return &kHostApiTable; }

bool IsHostApiPlaceholder(size_t slot) {
  if (slot >= HOST_API_SLOT_COUNT) return false;
  HOST_ReservedSlot entry;
  std::memcpy(&entry, reinterpret_cast<const char*>(&kHostApiTable) + slot * sizeof(void*), sizeof entry);
  return entry == &HOST_Unavailable;
}

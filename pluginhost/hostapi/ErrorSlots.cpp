// Host API slots of the thread error state. They never fail: each thread
// reads and writes only its own record, a null argument does nothing, and
// a text that cannot be allocated answers null.
#include "display/directx/DirectDrawFailure.h"
#include "display/directx/DirectXErrorTexts.h"
#include "foundation/errors/MCIError.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/errors/WinMMError.h"
#include "foundation/streams/StreamError.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/hostapi/HostSlots.h"
#include "pluginhost/hostapi/SlotErrors.h"
#include "pluginhost/plugins/PlugInVersion.h"

namespace hostapi {
namespace {

DWORD CodeIfType(DWORD type) {
  const ThreadErrorState* state = GetThreadErrorState();
  return state->type == type ? state->code : 0;
}

}  // namespace

DWORD HOST_GetPlayerVersion() { return GetPlayerVersion(); }

void HOST_SetError(DWORD type, DWORD code, const char* text) { SetThreadError(type, code, text); }

void HOST_SetErrorText(const char* text) { SetThreadError(THREAD_ERROR_GENERAL, 0, text); }

void HOST_SetDirectDrawError(DWORD code) { SetDirectDrawThreadError(static_cast<HRESULT>(code)); }

void HOST_SetDirectSoundError(DWORD code) {
  SetThreadError(THREAD_ERROR_DIRECTSOUND, code, GetDirectSoundErrorText(code));
}

void HOST_SetStreamError(DWORD code) { SetThreadError(THREAD_ERROR_STREAM, code, CStreamError::GetCodeText(code)); }

void HOST_SetWinMMError(DWORD code) { SetThreadError(THREAD_ERROR_WINMM, code, CWinMMError::GetErrorText(code)); }

void HOST_SetMCIError(DWORD code) { SetThreadError(THREAD_ERROR_MCI, code, CMCIError::GetErrorText(code)); }

void HOST_SetMiscError(DWORD code) { FailWithMiscError(code); }

void HOST_ExtendErrorText(const char* prefix, const char* suffix) { WrapThreadErrorText(prefix, suffix); }

HostSavedError* HOST_SaveError() {
  const ThreadErrorState* state = GetThreadErrorState();
  auto* saved = static_cast<HostSavedError*>(HostAlloc(sizeof(HostSavedError)));
  if (!saved) return nullptr;
  *saved = {state->type, state->code, nullptr};
  if (state->text && !(saved->text = HostAllocString(state->text))) {
    HostFree(saved);
    return nullptr;
  }
  return saved;
}

void HOST_RestoreError(const HostSavedError* saved) {
  if (saved) SetThreadError(saved->type, saved->code, saved->text);
}

void HOST_FreeError(HostSavedError* saved) {
  if (!saved) return;
  HostFree(saved->text);
  HostFree(saved);
}

DWORD HOST_GetErrorType() { return GetThreadErrorState()->type; }

DWORD HOST_GetErrorCode() { return GetThreadErrorState()->code; }

const char* HOST_GetErrorText() { return GetThreadErrorState()->text; }

DWORD HOST_GetDirectDrawErrorCode() { return CodeIfType(THREAD_ERROR_DIRECTDRAW); }

DWORD HOST_GetDirectSoundErrorCode() { return CodeIfType(THREAD_ERROR_DIRECTSOUND); }

DWORD HOST_GetStreamErrorCode() { return CodeIfType(THREAD_ERROR_STREAM); }

DWORD HOST_GetWinMMErrorCode() { return CodeIfType(THREAD_ERROR_WINMM); }

DWORD HOST_GetMCIErrorCode() { return CodeIfType(THREAD_ERROR_MCI); }

DWORD HOST_GetMiscErrorCode() { return CodeIfType(THREAD_ERROR_MISC); }

char* HOST_GetDirectDrawErrorText(DWORD code) { return HostAllocString(GetDirectDrawErrorText(code)); }

char* HOST_GetDirectSoundErrorText(DWORD code) { return HostAllocString(GetDirectSoundErrorText(code)); }

char* HOST_GetStreamErrorText(DWORD code) { return HostAllocString(CStreamError::GetCodeText(code)); }

char* HOST_GetWinMMErrorText(DWORD code) { return HostAllocString(CWinMMError::GetErrorText(code)); }

char* HOST_GetMCIErrorText(DWORD code) { return HostAllocString(CMCIError::GetErrorText(code)); }

char* HOST_GetMiscErrorText(DWORD code) { return HostAllocString(GetMiscErrorText(code)); }

}  // namespace hostapi

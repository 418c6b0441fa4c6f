#include "display/directx/DirectDrawFailure.h"

#include "display/directx/DirectXErrorTexts.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/DirectDrawError.h"

void ThrowDirectDrawError(HRESULT code) {
  const DWORD value = static_cast<DWORD>(code);
  ThrowError<CDirectDrawError>(LocalText("CDirectDrawError.Caption", "DirectDraw error"),
                               GetDirectDrawErrorText(value), value);
}

void SetDirectDrawThreadError(HRESULT code) {
  const DWORD value = static_cast<DWORD>(code);
  SetThreadError(THREAD_ERROR_DIRECTDRAW, value, GetDirectDrawErrorText(value));
}

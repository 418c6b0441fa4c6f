#include "plugins/pluginsdk/HostErrors.h"

#include "foundation/streams/StreamError.h"

namespace pluginsdk {

void ReportErrorObject(const HostApiTable& host, const CError* error) {
  if (!error) return;
  if (IsKindOf<CStreamError>(error)) {
    host.HOST_SetError(HOST_ERROR_STREAM, static_cast<const CStreamError*>(error)->GetCode(), error->GetText());
    return;
  }
  const CStr text = CStr::Format("%s: %s", error->GetCaption().c_str(), error->GetText().c_str());
  host.HOST_SetErrorText(text);
}

void ReportCaughtError(const HostApiTable* host, CError* error) noexcept {
  // Building the text may itself run out of memory.
  try {
    if (host) ReportErrorObject(*host, error);
  } catch (CError* failure) {
    DisposeError(failure);
    ReportOutOfMemory(host);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory(host);
  }
  DisposeError(error);
}

void ReportOutOfMemory(const HostApiTable* host) noexcept {
  if (host) host->HOST_SetMiscError(HOST_MISC_OUT_OF_MEMORY);
}

}  // namespace pluginsdk

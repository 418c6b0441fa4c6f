#include "app/core/DataSystemUrlReader.h"

#include <windows.h>

#include <algorithm>
#include <new>

#include "foundation/kernel/Error.h"
#include "foundation/streams/Stream.h"
#include "foundation/streams/StreamFlags.h"
#include "playback/data/DataSystem.h"
#include "twlwin/urlreader.h"

namespace {

// How long a read waits for the stream's signal before it looks again;
// data, the end, an error and a shut-down all signal at once.
constexpr DWORD kWaitSliceMs = 1000;

// A stream of the data system with the event it signals for data and for
// errors (its properties 1 and 0).
struct UrlStream {
  CStream* stream = nullptr;
  HANDLE signal = nullptr;
};

UrlStream* AsUrlStream(void* stream) { return static_cast<UrlStream*>(stream); }

void* OpenUrl(void*, const char* url) {
  auto* opened = new (std::nothrow) UrlStream;
  if (!opened) return nullptr;
  opened->signal = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  try {
    if (opened->signal) {
      opened->stream = GetDataSystem().OpenStream(url, kStreamRead | kStreamOpenExistingToo, 0, nullptr);
      opened->stream->SetProperty(CStream::kDataEventProperty, HandleToULong(opened->signal));
      opened->stream->SetProperty(CStream::kErrorEventProperty, HandleToULong(opened->signal));
      return opened;
    }
  } catch (CError* error) {
    DisposeError(error);
  } catch (const std::bad_alloc&) {
  }
  if (opened->stream) opened->stream->CloseNoThrow();
  if (opened->signal) CloseHandle(opened->signal);
  delete opened;
  return nullptr;
}

// Returns as soon as some bytes are there (a player's source must not wait
// for a whole buffer from a slow server), at the end, or on a failure.
long ReadUrl(void*, void* stream, void* buffer, unsigned long size) {
  UrlStream& url = *AsUrlStream(stream);
  const DWORD wanted = static_cast<DWORD>(std::min(size, 0x7FFFFFFFul));
  try {
    for (;;) {
      ResetEvent(url.signal);
      const DWORD got = url.stream->ReadSome(buffer, wanted);
      if (got) return static_cast<long>(got);
      if (url.stream->IsAtEnd()) return 0;
      WaitForSingleObject(url.signal, kWaitSliceMs);
    }
  } catch (CError* error) {
    DisposeError(error);
  } catch (const std::bad_alloc&) {
  }
  return -1;
}

void ShutdownUrl(void*, void* stream) {
  UrlStream& url = *AsUrlStream(stream);
  url.stream->Shutdown();
  SetEvent(url.signal);
}

void CloseUrl(void*, void* stream) {
  UrlStream* url = AsUrlStream(stream);
  url->stream->CloseNoThrow();
  CloseHandle(url->signal);
  delete url;
}

}  // namespace

void RegisterDataSystemUrlReader() {
  const TwlUrlReader reader{nullptr, &OpenUrl, &ReadUrl, &ShutdownUrl, &CloseUrl};
  TwlSetUrlReader(&reader);
}

void UnregisterDataSystemUrlReader() { TwlSetUrlReader(nullptr); }

// Host API slots of the file system and host streams. A stream handed to a
// plug-in is the host's CStream; the slots accept only streams they handed
// out and that are still open, so a stale or made-up handle is refused
// instead of followed. A stream closed while another thread's slot still
// runs in it is shut down, which ends that slot's wait with an error, and
// closed as the slot returns. Each slot runs one stream operation and turns what
// it throws into the thread error. 64-bit values travel as two 32-bit
// words, low first; the two sharing bits are inverted at every crossing.
#include "foundation/filesystem/FileSystem.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/streams/Stream.h"
#include "foundation/streams/StreamError.h"
#include "playback/data/DataSystem.h"
#include "pluginhost/handles/HandedOutObjects.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/hostapi/HostApiTesting.h"
#include "pluginhost/hostapi/HostSlots.h"
#include "pluginhost/hostapi/SlotErrors.h"

namespace hostapi {
namespace {

constexpr DWORD kSharingBits = kStreamShareRead | kStreamShareWrite;

using HostStreams = HandedOutObjects<CStream, HOST_STREAM>;

HostStreams& Streams() {
  static auto* streams = new HostStreams(  // plug-ins may call during static destruction
      [](CStream* stream) noexcept { stream->CloseNoThrow(); },
      [](CStream& stream) noexcept { stream.Shutdown(); });
  return *streams;
}

LONGLONG Join(DWORD low, DWORD high) { return static_cast<LONGLONG>((static_cast<ULONGLONG>(high) << 32) | low); }

void Split(LONGLONG value, DWORD* words) {
  words[0] = static_cast<DWORD>(static_cast<ULONGLONG>(value));
  words[1] = static_cast<DWORD>(static_cast<ULONGLONG>(value) >> 32);
}

// Runs `work` on a live stream; an unknown stream or a null out pointer
// is an invalid parameter.
template <class Work>
BOOL OnStream(HOST_STREAM handle, bool outGiven, Work&& work) {
  HostStreams::Pin stream = Streams().Find(handle);
  if (!stream || !outGiven) return FailInvalidParameter();
  return RunSlot(FALSE, [&] {
    work(*stream);
    return TRUE;
  });
}

}  // namespace

BOOL HOST_GetFileSystemInfo(const char* url, DWORD flags, HostFileSystemAnswer* answer, PLUGIN_HANDLE caller) {
  if (!url || !answer || !caller) return FailInvalidParameter();
  return RunSlot(FALSE, [&] {
    StreamOpenAnswer found{};
    if (!GetFileSystem().FindProvider(url, flags, found, false, nullptr)) {
      const CStreamError unsupported(CStreamError::kUnsupportedProtocol, url);
      StoreThreadError(&unsupported);
      return FALSE;
    }
    *answer = {found.capabilities, found.transferRate, found.delay};
    return TRUE;
  });
}

// Through the data system, so that the caller's streams go through the
// session slot it owns.
BOOL HOST_OpenStream(const char* url, DWORD flags, DWORD forbiddenEmulators, PLUGIN_HANDLE owner,
                     HOST_STREAM* stream) {
  if (!url || !stream) return FailInvalidParameter();
  const DWORD hostFlags = (flags ^ kSharingBits) | kStreamOpenExistingToo;
  return RunSlot(FALSE, [&] {
    *stream = Streams().Add(GetDataSystem().OpenStream(url, hostFlags, forbiddenEmulators, owner));
    return TRUE;
  });
}

// Property values are event handles, which are 32-bit ids.
BOOL HOST_StreamSetProperty(HOST_STREAM stream, DWORD index, uintptr_t value) {
  return OnStream(stream, value <= 0xFFFFFFFFu, [&](CStream& s) { s.SetProperty(index, static_cast<DWORD>(value)); });
}

BOOL HOST_StreamGetPath(HOST_STREAM stream, char** url) {
  return OnStream(stream, url != nullptr, [&](CStream& s) {
    CStr text;
    s.GetURL(text);
    char* copy = HostAllocString(text);
    if (!copy) ThrowMemoryError();
    *url = copy;
  });
}

BOOL HOST_StreamGetFlags(HOST_STREAM stream, DWORD* flags) {
  return OnStream(stream, flags != nullptr, [&](CStream& s) { *flags = s.GetCapabilities() ^ kSharingBits; });
}

BOOL HOST_StreamRead(HOST_STREAM stream, void* buffer, DWORD size, DWORD* count) {
  return OnStream(stream, count && (buffer || size == 0), [&](CStream& s) { *count = s.Read(buffer, size); });
}

BOOL HOST_StreamReadSome(HOST_STREAM stream, void* buffer, DWORD size, DWORD* count) {
  return OnStream(stream, count && (buffer || size == 0), [&](CStream& s) { *count = s.ReadSome(buffer, size); });
}

BOOL HOST_StreamSkip(HOST_STREAM stream, DWORD count, DWORD* skipped) {
  return OnStream(stream, skipped != nullptr, [&](CStream& s) { *skipped = s.Skip(count); });
}

BOOL HOST_StreamSkipSome(HOST_STREAM stream, DWORD count, DWORD* skipped) {
  return OnStream(stream, skipped != nullptr, [&](CStream& s) { *skipped = s.SkipSome(count); });
}

BOOL HOST_StreamSeek(HOST_STREAM stream, DWORD offsetLow, DWORD offsetHigh, DWORD origin, DWORD* position,
                     HANDLE abortEvent) {
  return OnStream(stream, true, [&](CStream& s) {
    const LONGLONG reached = s.Seek(Join(offsetLow, offsetHigh), origin, abortEvent);
    if (position) Split(reached, position);
  });
}

BOOL HOST_StreamCanSeek(HOST_STREAM stream, DWORD offsetLow, DWORD offsetHigh, DWORD origin, BOOL* wouldWait) {
  return OnStream(stream, wouldWait != nullptr,
                  [&](CStream& s) { *wouldWait = s.SeekWouldWait(Join(offsetLow, offsetHigh), origin); });
}

BOOL HOST_StreamGetPosition(HOST_STREAM stream, DWORD* position) {
  return OnStream(stream, position != nullptr, [&](CStream& s) { Split(s.GetPosition(), position); });
}

BOOL HOST_StreamGetLength(HOST_STREAM stream, BOOL immediate, DWORD* length, uintptr_t) {
  return OnStream(stream, length != nullptr,
                  [&](CStream& s) { Split(s.GetLength(immediate != FALSE, nullptr), length); });
}

BOOL HOST_StreamGetTransferRate(HOST_STREAM stream, DWORD* bytesPerSecond) {
  return OnStream(stream, bytesPerSecond != nullptr, [&](CStream& s) { *bytesPerSecond = s.GetTransferRate(); });
}

BOOL HOST_StreamGetContentType(HOST_STREAM stream, DWORD* result, char** type) {
  return OnStream(stream, result && type, [&](CStream& s) {
    CStr text;
    const DWORD answer = s.GetContentType(text);
    char* copy = nullptr;
    if (answer == 0 && !(copy = HostAllocString(text))) ThrowMemoryError();
    *result = answer;
    *type = copy;
  });
}

BOOL HOST_StreamIsEOF(HOST_STREAM stream, BOOL* atEnd) {
  return OnStream(stream, atEnd != nullptr, [&](CStream& s) { *atEnd = s.IsAtEnd(); });
}

// True only when an error was pending; it becomes the thread error.
BOOL HOST_StreamCheckError(HOST_STREAM handle) {
  HostStreams::Pin stream = Streams().Find(handle);
  if (!stream) return FailInvalidParameter();
  return RunSlot(FALSE, [&] {
    CStreamError* pending = stream->GetPendingError();
    if (!pending) return FALSE;
    StoreCaughtError(pending);
    return TRUE;
  });
}

// A stream still in use by another slot is closed by that slot, without an
// answer: its errors have nobody left to go to.
BOOL HOST_StreamClose(HOST_STREAM handle) {
  const HostStreams::Withdrawn stream = Streams().Withdraw(handle);
  if (!stream.handedOut) return FailInvalidParameter();
  if (!stream.owned) return TRUE;
  return RunSlot(FALSE, [&] {
    stream.owned->Close();
    return TRUE;
  });
}

void HOST_StreamRelease(HOST_STREAM handle) { Streams().Retire(handle); }

}  // namespace hostapi

size_t CountSlotsInStream(HOST_STREAM handle) { return hostapi::Streams().CountPins(handle); }

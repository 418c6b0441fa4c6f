// CAPIStream: a stream the host opened for the plug-in (HOST_OpenStream),
// read through the ordinary CStream operations of the plug-in's own
// foundation library. Every operation goes to the host stream function of
// the same meaning; a host failure becomes a thrown CStreamError carrying
// the host's text. Read-only: Write refuses. Transfers go in chunks of at
// most 64 KiB and are counted, so that another thread can show progress.
//
// One thread reads; GetProgress and ResetTransferCount may run on another
// at the same time (they and the transfers share only the two counters,
// under the lock). End it with Close or CloseNoThrow, which give the host
// stream back and delete the adapter.
#pragma once

#include "foundation/kernel/CriticalSection.h"
#include "foundation/streams/Stream.h"
#include "pluginhost/abi/PlugInAbi.h"

class CAPIStream : public CStream {
  TWL_DECLARE_CLASS(CAPIStream)
 public:
  // All bits set: the length is not known yet.
  static constexpr ULONGLONG kUnknownLength = ~0ull;

  // Asks the host for the stream's path; throws as a failed operation does
  // when it cannot.
  CAPIStream(HOST_STREAM stream, const HostApiTable& host);

  void SetProperty(DWORD index, DWORD value) override;
  CStr& GetURL(CStr& url) override;
  DWORD GetCapabilities() override;
  DWORD Read(void* buffer, DWORD size) override;
  DWORD ReadSome(void* buffer, DWORD size) override;
  DWORD Skip(DWORD count) override;
  DWORD SkipSome(DWORD count) override;
  void Write(const void* buffer, DWORD size) override;
  void Flush() override;
  LONGLONG Seek(LONGLONG offset, DWORD origin, HANDLE abortEvent) override;
  bool SeekWouldWait(LONGLONG offset, DWORD origin) override;
  LONGLONG GetPosition() override;
  LONGLONG GetLength(bool immediate, HANDLE abortEvent) override;
  DWORD GetTransferRate() override;
  bool IsAtEnd() override;
  void Shutdown() override;
  void Close() override;
  void CloseNoThrow() override;
  CStreamError* GetPendingError() override;
  DWORD GetContentType(CStr& type) override;

  // The bytes moved so far and the length (kUnknownLength until the host
  // knows it; asked again each time until then). Never throws.
  void GetProgress(ULONGLONG& transferred, ULONGLONG& length);
  void ResetTransferCount();

 private:
  ~CAPIStream() override = default;

  // One host transfer of at most `size` bytes: whether it succeeded, and
  // the count in `moved`.
  using Transfer = BOOL (*)(const HostApiTable& host, HOST_STREAM stream, BYTE* at, DWORD size, DWORD* moved);
  DWORD TransferInChunks(Transfer transfer, BYTE* buffer, DWORD size);
  void CountTransferred(DWORD bytes);
  void CacheLength(ULONGLONG length);

  // The error the host's thread error describes, for this stream.
  CStreamError* ErrorFromHost();
  [[noreturn]] void ThrowHostError();
  void Require(BOOL succeeded);

  HOST_STREAM m_Stream;
  const HostApiTable& m_Host;
  CStr m_Path;
  CriticalSection m_CountersLock;
  ULONGLONG m_Transferred = 0;          // guarded by m_CountersLock
  ULONGLONG m_Length = kUnknownLength;  // guarded by m_CountersLock
};

// CFileSystem: turns a URL and a wish list of capabilities into a stream.
// It asks its stream providers (the disk provider first, then those the
// data system adds) which can open the URL and how well, opens it with the
// best one and wraps the stream in emulators for what it lacks. It also
// makes temporary files.
//
// Any thread may open streams. The provider list is read under a lock that
// is never held while a provider runs; changes of the list wait until no
// selection is under way, so a provider is never removed while a selection
// may still call it. Providers must not change the list from inside their
// own CanOpen or Open (that would wait for itself).
#pragma once

#include <windows.h>

#include "foundation/containers/PointerArray.h"
#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"
#include "foundation/streams/StreamProvider.h"

class CStream;

class CFileSystem : public CTypedObject {
  TWL_DECLARE_CLASS(CFileSystem)
 public:
  // Forbidden emulators: bits of the `forbidden` argument of Open,
  // AddEmulators and CreateTempStream.
  static constexpr DWORD kNoSeekableEmulator = 0x1;
  static constexpr DWORD kNoBufferedEmulator = 0x2;
  static constexpr DWORD kNoFlowingEmulator = 0x4;
  static constexpr DWORD kNoLengthEmulator = 0x8;

  // With the disk provider.
  CFileSystem();
  explicit CFileSystem(bool addDiskProvider);
  CFileSystem(const CFileSystem&) = delete;
  CFileSystem& operator=(const CFileSystem&) = delete;
  // Deletes every provider still in the list.
  ~CFileSystem() override;

  // Appends a provider; the file system deletes it at the end unless it is
  // removed with deleteIt false first. Waits until no selection runs.
  void AddProvider(CStreamProvider* provider);
  void RemoveProvider(INT index, bool deleteIt);
  void RemoveAllProviders(bool deleteThem);
  // Read at once, without waiting for selections; the data system finds a
  // provider's index with them.
  INT GetProviderCount();
  CStreamProvider* GetProvider(INT index);

  // The selection of Open without opening: false when no provider can open
  // the URL, else the chosen provider's answer and (when asked) the
  // provider. The flags go to CanOpen unchanged. With firstMatch the first
  // provider that can open the URL is taken.
  bool FindProvider(const char* url, DWORD flags, StreamOpenAnswer& answer, bool firstMatch,
                    CStreamProvider** provider);
  // Opens the URL with the wanted capabilities and open mode, wrapped in
  // the emulators the stream needs and `forbidden` allows. Never returns
  // null; throws CStreamError 9 when no provider opens the URL, or the
  // provider's own error. `direct` asks the providers in list order, each
  // with the capabilities alone, instead of choosing the best.
  CStream* Open(const char* url, DWORD flags, DWORD forbidden, bool direct = false,
                CStreamProvider** provider = nullptr);
  // The stream, or the outermost emulator wrapped around it for wanted
  // capabilities it lacks. When an emulator cannot be attached, the ones
  // already made are closed, the stream itself is left open, and the error
  // passes on.
  CStream* AddEmulators(CStream* stream, DWORD wanted, DWORD forbidden);

  // A new empty temporary file as a "file://" URL; empty when none could be
  // made.
  CStr GetTempFileURL();
  // A stream on a temporary file that deletes the file when closed: the
  // given URL, or a new temporary file when it is null (CStreamError 5,
  // path "temporary file", when none can be made). Without a creation mode
  // the file is created, replacing an existing one.
  CStream* CreateTempStream(const char* url, DWORD flags, DWORD forbidden, bool direct = false);

 private:
  class Selection;

  // Takes the lock once no selection runs; the caller leaves it.
  void EnterWhenIdle();
  CStream* OpenDirect(const char* url, DWORD capabilities, CStreamProvider** provider);
  CStreamProvider* Select(const char* url, DWORD flags, DWORD wanted, bool firstMatch, StreamOpenAnswer& answer);

  CPointerArray m_Providers;
  CriticalSection m_Lock;
  INT m_BusyCount = 0;
};

// The module's one file system, with the disk provider; built with the
// library's other globals and destroyed at exit after counted threads end.
CFileSystem& GetFileSystem();

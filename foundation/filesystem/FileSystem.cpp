#include "foundation/filesystem/FileSystem.h"

#include <memory>
#include <vector>

#include "foundation/emulators/BufferedStreamEmulator.h"
#include "foundation/emulators/FlowingStreamEmulator.h"
#include "foundation/emulators/GetLengthStreamEmulator.h"
#include "foundation/emulators/SeekableReadStreamEmulator.h"
#include "foundation/kernel/Localizer.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/streams/DiskFileStream.h"
#include "foundation/streams/DiskFileStreamProvider.h"
#include "foundation/streams/StreamError.h"
#include "foundation/streams/TempStream.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CFileSystem, CTypedObject)

namespace {

constexpr DWORD kListChangePollMs = 1;
constexpr DWORD kSeekableChunkSize = 4096;
constexpr LONGLONG kSeekableReadAhead = 0x200000;
constexpr DWORD kFlowingBlockSize = 0x4000;
constexpr DWORD kBufferedEmulatorSize = 4096;

// Whether the newcomer's answer beats the candidate's for the wanted
// capabilities: seeking, a known length and flowing decide in this order,
// then buffering; anything else keeps the earlier provider.
bool IsBetterAnswer(DWORD newcomer, DWORD candidate, DWORD wanted) {
  for (const DWORD bit : {kStreamSeek, kStreamLengthKnown, kStreamFlowing}) {
    if (!(wanted & bit)) continue;
    const bool candidateHas = candidate & bit;
    const bool newcomerHas = newcomer & bit;
    if (candidateHas != newcomerHas) return newcomerHas;
  }
  return (wanted & kStreamBuffered) && !(candidate & kStreamBuffered) && (newcomer & kStreamBuffered);
}

}  // namespace

// A selection under way. The list cannot change while one lives, so the
// providers it takes from the list stay valid while it calls them without
// the lock.
class CFileSystem::Selection {
 public:
  explicit Selection(CFileSystem& fileSystem) : m_FileSystem(fileSystem) {
    CriticalSectionLock lock(m_FileSystem.m_Lock);
    ++m_FileSystem.m_BusyCount;
    m_Count = m_FileSystem.m_Providers.GetCount();
  }
  ~Selection() {
    CriticalSectionLock lock(m_FileSystem.m_Lock);
    --m_FileSystem.m_BusyCount;
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

  INT GetCount() const { return m_Count; }
  CStreamProvider* At(INT index) {
    CriticalSectionLock lock(m_FileSystem.m_Lock);
    return static_cast<CStreamProvider*>(m_FileSystem.m_Providers[index]);
  }

 private:
  CFileSystem& m_FileSystem;
  INT m_Count = 0;
};

CFileSystem::CFileSystem() : CFileSystem(true) {}

CFileSystem::CFileSystem(bool addDiskProvider) {
  if (!addDiskProvider) return;
  auto provider = std::unique_ptr<CStreamProvider>(new (std::nothrow) CDiskFileStreamProvider);
  if (!provider) ThrowMemoryError();
  m_Providers.SetAtGrow(0, provider.get());
  provider.release();
}

CFileSystem::~CFileSystem() { RemoveAllProviders(true); }

void CFileSystem::EnterWhenIdle() {
  for (;;) {
    m_Lock.Enter();
    if (m_BusyCount == 0) return;
    m_Lock.Leave();
    SleepEx(kListChangePollMs, FALSE);
  }
}

void CFileSystem::AddProvider(CStreamProvider* provider) {
  EnterWhenIdle();
  try {
    m_Providers.SetAtGrow(m_Providers.GetCount(), provider);
  } catch (CError*) {
    m_Lock.Leave();
    throw;
  }
  m_Lock.Leave();
}

void CFileSystem::RemoveProvider(INT index, bool deleteIt) {
  EnterWhenIdle();
  if (index >= 0 && index < m_Providers.GetCount()) {
    if (deleteIt) delete static_cast<CStreamProvider*>(m_Providers[index]);
    m_Providers.RemoveAt(index);
  }
  m_Lock.Leave();
}

void CFileSystem::RemoveAllProviders(bool deleteThem) {
  EnterWhenIdle();
  if (deleteThem) {
    for (INT index = m_Providers.GetCount() - 1; index >= 0; --index)
      delete static_cast<CStreamProvider*>(m_Providers[index]);
  }
  m_Providers.SetSize(0);
  m_Lock.Leave();
}

INT CFileSystem::GetProviderCount() {
  CriticalSectionLock lock(m_Lock);
  return m_Providers.GetCount();
}

CStreamProvider* CFileSystem::GetProvider(INT index) {
  CriticalSectionLock lock(m_Lock);
  if (index < 0 || index >= m_Providers.GetCount()) return nullptr;
  return static_cast<CStreamProvider*>(m_Providers[index]);
}

// Asks every provider in list order. One that offers all wanted
// capabilities (or, with firstMatch, any that can open the URL) ends the
// search; otherwise the best answer wins and ties go to the earlier one.
CStreamProvider* CFileSystem::Select(const char* url, DWORD flags, DWORD wanted, bool firstMatch,
                                     StreamOpenAnswer& answer) {
  Selection selection(*this);
  CStreamProvider* candidate = nullptr;
  for (INT index = 0; index < selection.GetCount(); ++index) {
    CStreamProvider* provider = selection.At(index);
    if (!provider) continue;
    StreamOpenAnswer offer{};
    if (!provider->CanOpen(url, flags, offer)) continue;
    if (firstMatch || (offer.capabilities & wanted) == wanted) {
      answer = offer;
      return provider;
    }
    if (!candidate || IsBetterAnswer(offer.capabilities, answer.capabilities, wanted)) {
      candidate = provider;
      answer = offer;
    }
  }
  return candidate;
}

bool CFileSystem::FindProvider(const char* url, DWORD flags, StreamOpenAnswer& answer, bool firstMatch,
                               CStreamProvider** provider) {
  StreamOpenAnswer chosenAnswer{};
  CStreamProvider* chosen = Select(url, flags, flags, firstMatch, chosenAnswer);
  if (!chosen) return false;
  answer = chosenAnswer;
  if (provider) *provider = chosen;
  return true;
}

CStream* CFileSystem::OpenDirect(const char* url, DWORD capabilities, CStreamProvider** provider) {
  Selection selection(*this);
  for (INT index = 0; index < selection.GetCount(); ++index) {
    CStreamProvider* candidate = selection.At(index);
    if (!candidate) continue;
    if (CStream* stream = candidate->Open(url, capabilities)) {
      *provider = candidate;
      return stream;
    }
  }
  return nullptr;
}

CStream* CFileSystem::Open(const char* url, DWORD flags, DWORD forbidden, bool direct, CStreamProvider** provider) {
  const DWORD modeBits = flags & kStreamModeMask;
  const DWORD capabilities = flags & ~kStreamModeMask;
  CStreamProvider* opener = nullptr;
  CStream* stream = nullptr;
  if (direct) {
    stream = OpenDirect(url, capabilities, &opener);
  } else {
    StreamOpenAnswer answer{};
    CStreamProvider* candidate = Select(url, capabilities, capabilities, false, answer);
    if (candidate) {
      stream = candidate->Open(url, modeBits | capabilities);
      if (stream) opener = candidate;
    }
    // A provider that promised and then declined, or none that answered:
    // the first one that opens the URL at all.
    if (!stream) stream = OpenDirect(url, capabilities, &opener);
  }
  if (!stream) ThrowError<CStreamError>(CStreamError::kUnsupportedProtocol, url);
  if (provider) *provider = opener;
  try {
    return AddEmulators(stream, capabilities, forbidden);
  } catch (CError*) {
    stream->CloseNoThrow();
    throw;
  }
}

namespace {

// Builds the chain of emulators over one stream, outermost last.
class EmulatorChain {
 public:
  explicit EmulatorChain(CStream* stream) : m_Outermost(stream) {}

  CStream* Outermost() const { return m_Outermost; }
  DWORD Capabilities() const { return m_Outermost->GetCapabilities(); }

  // Attaches a new emulator around the outermost stream; one that fails
  // to attach is deleted (it has let go of the stream by then).
  template <class Emulator, class AttachStep>
  void Add(AttachStep attach) {
    auto emulator = std::unique_ptr<Emulator>(new (std::nothrow) Emulator);
    if (!emulator) ThrowMemoryError();
    attach(*emulator, m_Outermost);
    if (!m_Innermost) m_Innermost = emulator.get();
    m_Outermost = emulator.release();
  }

  // Closes the emulators made so far and leaves the stream they wrap open.
  void Undo() {
    if (!m_Innermost) return;
    m_Innermost->SetOwnsInner(false);
    m_Outermost->CloseNoThrow();
  }

 private:
  CStream* m_Outermost;
  CStreamEmulator* m_Innermost = nullptr;
};

}  // namespace

CStream* CFileSystem::AddEmulators(CStream* stream, DWORD wanted, DWORD forbidden) {
  wanted &= 0xFFFF;
  const DWORD readWrite = kStreamRead | kStreamWrite;
  EmulatorChain chain(stream);
  auto missing = [&] { return wanted & ~chain.Capabilities(); };
  if (!missing()) return stream;
  try {
    if ((missing() & kStreamSeek) && !(forbidden & kNoSeekableEmulator) && !(wanted & kStreamWrite)) {
      chain.Add<CSeekableReadStreamEmulator>([](CSeekableReadStreamEmulator& emulator, CStream* inner) {
        emulator.Attach(inner, nullptr, kSeekableChunkSize, true, true, kSeekableReadAhead);
      });
    }
    if ((missing() & kStreamLengthKnown) && !(forbidden & kNoLengthEmulator) && (wanted & readWrite) != readWrite) {
      chain.Add<CGetLengthStreamEmulator>(
          [](CGetLengthStreamEmulator& emulator, CStream* inner) { emulator.Attach(inner, nullptr, true, true); });
    }
    if ((missing() & kStreamFlowing) && !(forbidden & kNoFlowingEmulator) &&
        (!(wanted & kStreamWrite) || (chain.Capabilities() & kStreamSeek))) {
      chain.Add<CFlowingStreamEmulator>([](CFlowingStreamEmulator& emulator, CStream* inner) {
        emulator.Attach(inner, kFlowingBlockSize, true, true);
      });
    }
    const bool bothOnUnseekable = (wanted & readWrite) == readWrite && !(chain.Capabilities() & kStreamSeek);
    if ((missing() & kStreamBuffered) && !(forbidden & kNoBufferedEmulator) && !bothOnUnseekable) {
      const bool writeMode = wanted & kStreamWrite;
      chain.Add<CBufferedStreamEmulator>([writeMode](CBufferedStreamEmulator& emulator, CStream* inner) {
        emulator.Attach(inner, writeMode, kBufferedEmulatorSize, true, true);
      });
    }
  } catch (CError*) {
    chain.Undo();
    throw;
  }
  return chain.Outermost();
}

CStr CFileSystem::GetTempFileURL() {
  const DWORD needed = GetTempPathA(0, nullptr);
  if (needed == 0) return CStr();
  std::vector<char> folder(needed + 1);
  const DWORD length = GetTempPathA(static_cast<DWORD>(folder.size()), folder.data());
  if (length == 0 || length >= folder.size()) return CStr();
  char name[MAX_PATH] = {};
  if (GetTempFileNameA(folder.data(), "bfs", 0, name) == 0) return CStr();
  return CStr("file://") + name;
}

CStream* CFileSystem::CreateTempStream(const char* url, DWORD flags, DWORD forbidden, bool direct) {
  if ((flags & kStreamCreationMask) == 0) flags |= kStreamCreateAlways;
  if (url) {
    CStream* stream = Open(url, flags, forbidden, direct);
    auto* temporary = new (std::nothrow) CTempStream(stream);
    if (!temporary) {
      stream->CloseNoThrow();
      ThrowMemoryError();
    }
    return temporary;
  }
  const CStr name = GetTempFileURL();
  if (name.IsEmpty()) {
    const CStr path = GetLocalizer().GetString("CFileSystem.CreateTempFileFailed_Path", "temporary file");
    ThrowError<CStreamError>(CStreamError::kGenericOpen, path.c_str());
  }
  try {
    return CreateTempStream(name.c_str(), flags, forbidden, direct);
  } catch (CError*) {
    // The empty file made for the name is ours: it goes with the failure.
    DeleteFileA(CDiskFileStream::PathOfURL(name.c_str()));
    throw;
  }
}

#include "pluginhost/identifiers/FileIdentifierSystem.h"

#include <algorithm>

#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Threads.h"
#include "playback/data/DataSystem.h"
#include "pluginhost/fileinfo/InfoDataBases.h"
#include "pluginhost/identifiers/PlugInFileIdentifier.h"
#include "pluginhost/plugins/ObjectDiscovery.h"
#include "pluginhost/plugins/PlugInManager.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CFileIdentifierSystem, CTypedObject)

namespace {

constexpr DWORD kSurfaceErrorCategory = 0x400;

void LogHeader(const char* key, const char* defaultText) {
  LogFormat(LOG_CATEGORY_INFO, "%s\n", LocalText(key, defaultText).c_str());
}

HANDLE CreateManualEvent(bool signalled) { return CreateEventA(nullptr, TRUE, signalled ? TRUE : FALSE, nullptr); }

void CloseAndForget(HANDLE& handle) {
  if (handle) CloseHandle(handle);
  handle = nullptr;
}

}  // namespace

CFileIdentifierSystem::CFileIdentifierSystem() : m_Files(&::GetFileInfoDataBase()) {}

CFileIdentifierSystem::~CFileIdentifierSystem() { Exit(); }

CriticalSection& CFileIdentifierSystem::DataBaseLock() const { return m_Files->GetLock(); }

// --- Lifecycle

void CFileIdentifierSystem::Init(CPlugInManager* plugIns, CFileInfoDataBase& files) {
  Exit();
  m_Files = &files;
  LogHeader("CFileIdentifierSystem.InitializingFileIdentifiersHeader",
            "-------- initializing file identifiers --------");
  if (plugIns)
    for (INT index = 0; index < plugIns->GetCount(); ++index) InitPlugIn(*plugIns, index);
  StartWorker();
}

void CFileIdentifierSystem::StartWorker() {
  m_StopEvent = CreateManualEvent(false);
  m_WorkEvent = CreateManualEvent(false);
  m_IdleEvent = CreateManualEvent(false);
  if (!m_StopEvent || !m_WorkEvent || !m_IdleEvent) {
    ThrowError<CError>(LocalText("CreateEventFailed.Caption", "Windows error"),
                       LocalText("CreateEventFailed.Text", "Error creating event object."));
  }
  m_Worker = BeginThread(nullptr, 0, &CFileIdentifierSystem::WorkerMain, this, 0, &m_WorkerThreadId);
  if (!m_Worker) {
    m_WorkerThreadId = 0;
    ThrowError<CError>(LocalText("CreateThreadFailed.Caption", "Thread error"),
                       LocalText("CreateThreadFailed.Text", "Error creating thread"));
  }
  SetThreadPriority(m_Worker, THREAD_PRIORITY_BELOW_NORMAL);
}

void CFileIdentifierSystem::InitNewPlugIns(CPlugInManager& plugIns, INT first) {
  for (INT index = first < 0 ? 0 : first; index < plugIns.GetCount(); ++index) InitPlugIn(plugIns, index);
}

void CFileIdentifierSystem::InitPlugIn(CPlugInManager& plugIns, INT index) {
  CPlugIn* plugIn = plugIns.GetPlugIn(index);
  if (!plugIn) return;
  DiscoverObjects<CPlugInFileIdentifier, CPlugInFileIdentifier2>(
      *plugIn, PLUGINOBJ_FILEIDENTIFIER, [this](CFileIdentifier* identifier) { AddIdentifier(identifier); });
}

void CFileIdentifierSystem::AddIdentifier(CFileIdentifier* identifier) {
  CriticalSectionLock lock(m_IdentifierLock);
  (m_Worker ? m_NewIdentifiers : m_Identifiers).emplace_back(identifier);
}

void CFileIdentifierSystem::Exit() {
  StopWorker();
  ClearQueues();
  CloseAndForget(m_StopEvent);
  CloseAndForget(m_WorkEvent);
  CloseAndForget(m_IdleEvent);
  DeleteIdentifiers();
}

// The stop event ends the worker at the top of its next pass; the abort
// ends a read an identifier is blocked in, and the work event wakes an
// idle worker. No time-out is involved anywhere.
void CFileIdentifierSystem::StopWorker() {
  if (!m_Worker) return;
  SetEvent(m_StopEvent);
  GetDataSystem().AbortSession(kIdentifierSession);
  {
    CriticalSectionLock lock(DataBaseLock());
    SetEvent(m_WorkEvent);
  }
  WaitForSingleObject(m_Worker, INFINITE);
  CloseAndForget(m_Worker);
  m_WorkerThreadId = 0;
}

void CFileIdentifierSystem::ClearQueues() {
  CriticalSectionLock lock(DataBaseLock());
  m_Current = nullptr;
  m_Held.clear();
  m_Queue.clear();
  m_Waiting.clear();
}

void CFileIdentifierSystem::DeleteIdentifiers() {
  std::vector<std::unique_ptr<CFileIdentifier>> identifiers;
  std::vector<std::unique_ptr<CFileIdentifier>> newIdentifiers;
  {
    CriticalSectionLock lock(m_IdentifierLock);
    identifiers.swap(m_Identifiers);
    newIdentifiers.swap(m_NewIdentifiers);
  }
  // Deleted outside the lock: an unloading object may call the host.
}

// --- The worker

DWORD WINAPI CFileIdentifierSystem::WorkerMain(LPVOID self) {
  static_cast<CFileIdentifierSystem*>(self)->RunWorker();
  return 0;
}

void CFileIdentifierSystem::RunWorker() {
  while (WaitForSingleObject(m_StopEvent, 0) != WAIT_OBJECT_0) {
    TakeNewIdentifiers();
    if (!IdentifyHead()) WaitForSingleObject(m_WorkEvent, INFINITE);
  }
}

void CFileIdentifierSystem::TakeNewIdentifiers() {
  CriticalSectionLock lock(m_IdentifierLock);
  for (auto& identifier : m_NewIdentifiers) m_Identifiers.push_back(std::move(identifier));
  m_NewIdentifiers.clear();
}

// False when the queue is empty: the work event is then reset under the
// lock that any queueing takes to set it, so no wake-up is lost. Exit sets
// the stop event before it sets the work event under that lock, so a stop
// seen here is never followed by a reset of its wake-up.
bool CFileIdentifierSystem::IdentifyHead() {
  CriticalSectionLock lock(DataBaseLock());
  if (m_Queue.empty()) {
    if (WaitForSingleObject(m_StopEvent, 0) == WAIT_OBJECT_0) return true;
    ResetEvent(m_WorkEvent);
    SetEvent(m_IdleEvent);
    return false;
  }
  const QueueNode* head = &m_Queue.front();
  FileInfoRecord* record = head->record;
  bool interrupted = false;
  if (!record->IsIdentified()) {
    lock.Leave();
    interrupted = IdentifyRecord(record);
    lock.Enter();
    // Let go of meanwhile: the same head is identified again.
    if (interrupted && !IsHeld(record)) return true;
  }
  // The node may have been removed while the lock was left.
  if (m_Queue.empty() || &m_Queue.front() != head || head->record != record) return true;
  if (interrupted)
    m_Waiting.splice(m_Waiting.end(), m_Queue, m_Queue.begin());
  else
    m_Queue.pop_front();
  return true;
}

bool CFileIdentifierSystem::IdentifyRecord(FileInfoRecord* record) {
  CDataSystem& data = GetDataSystem();
  data.SetSessionUrl(kIdentifierSession, record->key);
  bool interrupted = false;
  for (size_t i = 0; i < m_Identifiers.size(); ++i) {
    {
      CriticalSectionLock lock(DataBaseLock());
      // A record complete before is left alone; once the first identifier
      // has started, every other one is asked and the priorities decide.
      if (i == 0 && record->IsIdentified()) break;
      if (IsHeld(record)) {
        interrupted = true;
        break;
      }
      m_Current = record;
    }
    CFileIdentifier* identifier = m_Identifiers[i].get();
    data.SetSessionOwner(kIdentifierSession, identifier->GetHandle());
    identifier->Identify(record->key);
    data.SetSessionOwner(kIdentifierSession, nullptr);
  }
  data.CloseSession(kIdentifierSession, false);
  CriticalSectionLock lock(DataBaseLock());
  m_Current = nullptr;
  return interrupted;
}

// --- The playlist's records

CFileIdentifierSystem::NodeList::iterator CFileIdentifierSystem::FindNode(NodeList& list, FileInfoRecord* record) {
  return std::find_if(list.begin(), list.end(), [record](const QueueNode& node) { return node.record == record; });
}

// Wakes the worker when the queue was empty.
void CFileIdentifierSystem::AppendToQueue(NodeList& from, NodeList::iterator node) {
  const bool wasEmpty = m_Queue.empty();
  m_Queue.splice(m_Queue.end(), from, node);
  if (!wasEmpty) return;
  if (m_IdleEvent) ResetEvent(m_IdleEvent);
  if (m_WorkEvent) SetEvent(m_WorkEvent);
}

void CFileIdentifierSystem::AddFileObject(FileInfoRecord* record) {
  if (!record) return;
  CriticalSectionLock lock(DataBaseLock());
  if (record->IsIdentified()) return;
  for (NodeList* list : {&m_Queue, &m_Waiting}) {
    auto found = FindNode(*list, record);
    if (found == list->end()) continue;
    ++found->count;
    return;
  }
  NodeList made;
  made.push_back({record, 1});
  AppendToQueue(made, made.begin());
}

void CFileIdentifierSystem::RemoveFileObject(FileInfoRecord* record) {
  CriticalSectionLock lock(DataBaseLock());
  for (NodeList* list : {&m_Queue, &m_Waiting}) {
    auto found = FindNode(*list, record);
    if (found == list->end()) continue;
    if (--found->count <= 0) list->erase(found);
    return;
  }
}

void CFileIdentifierSystem::AddToPendingList(FileInfoRecord* record) {
  CriticalSectionLock lock(DataBaseLock());
  m_Held.push_back(record);
}

void CFileIdentifierSystem::RestartIdentification() {
  CriticalSectionLock lock(DataBaseLock());
  while (!m_Waiting.empty()) AppendToQueue(m_Waiting, m_Waiting.begin());
  m_Held.clear();
}

FileInfoRecord* CFileIdentifierSystem::GetCurrentObject() {
  CriticalSectionLock lock(DataBaseLock());
  return m_Current;
}

bool CFileIdentifierSystem::IsHeld(FileInfoRecord* record) const {
  return std::find(m_Held.begin(), m_Held.end(), record) != m_Held.end();
}

bool CFileIdentifierSystem::WaitUntilIdle(DWORD milliseconds) {
  if (!m_Worker) return true;
  return WaitForSingleObject(m_IdleEvent, milliseconds) == WAIT_OBJECT_0;
}

// --- Around the display

bool CFileIdentifierSystem::RestoreSurfaces() {
  LogHeader("CFileIdentifierSystem.RestoringFileIdentifierSurfaces", "**** restoring file identifier surfaces ****");
  CriticalSectionLock lock(m_IdentifierLock);
  bool restored = true;
  for (const auto& identifier : m_Identifiers) {
    if (identifier->RestoreSurfaces()) continue;
    LogThreadError(kSurfaceErrorCategory, identifier->GetName());
    restored = false;
  }
  return restored;
}

void CFileIdentifierSystem::BeginSkinChange() {
  CriticalSectionLock lock(m_IdentifierLock);
  for (const auto& identifier : m_Identifiers) identifier->BeginSkinChange();
}

void CFileIdentifierSystem::EndSkinChange() {
  CriticalSectionLock lock(m_IdentifierLock);
  for (const auto& identifier : m_Identifiers) identifier->EndSkinChange();
}

INT CFileIdentifierSystem::GetIdentifierCount() {
  CriticalSectionLock lock(m_IdentifierLock);
  return static_cast<INT>(m_Identifiers.size());
}

CFileIdentifier* CFileIdentifierSystem::GetIdentifier(INT index) {
  CriticalSectionLock lock(m_IdentifierLock);
  return index >= 0 && static_cast<size_t>(index) < m_Identifiers.size() ? m_Identifiers[static_cast<size_t>(index)].get()
                                                                          : nullptr;
}

CFileIdentifierSystem& GetFileIdentifierSystem() {
  // Never destroyed: its identifiers may belong to plug-ins unloaded by then.
  static auto* system = new CFileIdentifierSystem;
  return *system;
}

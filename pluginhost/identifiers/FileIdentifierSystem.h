// CFileIdentifierSystem: the program's file identifiers (the plug-ins'
// identifier objects) and the worker thread that identifies the files of
// the playlist in the background. The player system queues the record of
// every file entry that enters the playlist and takes it out when the
// entry leaves; a player that wants its file for itself holds the record,
// so that no identifier reads the file meanwhile: an identification it
// breaks off waits until the current player changes. Identifiers report
// through HOST_SetFileInfo, whose priorities decide which result stands.
//
// Threading: everything runs on the user-interface thread but the worker
// and AddToPendingList and GetCurrentObject, which players call on their
// threads. The file info database's lock guards the queue, the waiting
// list, the held records and the current record, so results and queue
// state agree; it is never held while an identifier runs. The identifier
// lock guards the identifiers found after start until the worker takes
// them, and reads of the identifier list from other threads. The idle
// worker waits on its work event without a time-out.
#pragma once

#include <windows.h>

#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/TypedObject.h"
#include "playback/playersystem/PlayerSystemPeers.h"
#include "pluginhost/identifiers/FileIdentifier.h"

class CFileInfoDataBase;
class CPlugInManager;

class CFileIdentifierSystem : public CTypedObject, public CPlayerFileIdentifier {
  TWL_DECLARE_CLASS(CFileIdentifierSystem)
 public:
  CFileIdentifierSystem();
  CFileIdentifierSystem(const CFileIdentifierSystem&) = delete;
  CFileIdentifierSystem& operator=(const CFileIdentifierSystem&) = delete;
  // Stops the worker and frees everything (Exit).
  ~CFileIdentifierSystem() override;

  // --- Lifecycle (user-interface thread)
  // Exit, then takes the identifiers of every plug-in of the manager (none
  // when it is null), works on the records of `files` and starts the
  // worker. Throws an error object when an event or the thread cannot be
  // made; the identifiers found stay until the next Exit.
  void Init(CPlugInManager* plugIns, CFileInfoDataBase& files);
  // The identifiers of the plug-ins from `first` on; the worker takes them
  // into use from its next pass.
  void InitNewPlugIns(CPlugInManager& plugIns, INT first);
  void InitPlugIn(CPlugInManager& plugIns, INT index);
  // Takes ownership: in use at once before the worker runs, else from the
  // worker's next pass, as the identifiers of new plug-ins.
  void AddIdentifier(CFileIdentifier* identifier);
  // Stops the worker (a read it is blocked in is aborted), then empties
  // the queue, the waiting list and the held records and deletes every
  // identifier. Safe without Init and more than once.
  void Exit();

  // --- The playlist's records
  // Queues a record that is not identified yet; one queued or waiting
  // already is counted once more.
  void AddFileObject(FileInfoRecord* record) override;
  // Counts the record's node down (queue first, then waiting list) and
  // drops it at zero; nothing when it is in neither.
  void RemoveFileObject(FileInfoRecord* record) override;
  // Holds the record back from identification (a player's exclusive
  // access); called on a player's thread.
  void AddToPendingList(FileInfoRecord* record) override;
  // Queues the records whose identification a hold broke off again, and
  // lets go of every hold.
  void RestartIdentification() override;
  // The record being identified now, or null.
  FileInfoRecord* GetCurrentObject() override;
  // Whether a player holds the record; with the database lock held.
  bool IsHeld(FileInfoRecord* record) const;

  // --- Around the display (user-interface thread)
  bool RestoreSurfaces();
  void BeginSkinChange();
  void EndSkinChange();

  // --- The identifiers in use, for the options page
  INT GetIdentifierCount();
  // Null outside the list.
  CFileIdentifier* GetIdentifier(INT index);

  // Waits until the worker has found the queue empty (it then sleeps), at
  // most `milliseconds`; true when it has. True at once without a worker.
  bool WaitUntilIdle(DWORD milliseconds);
  // The worker's thread id; 0 when no worker runs.
  DWORD GetWorkerThreadId() const { return m_WorkerThreadId; }

 private:
  struct QueueNode {
    FileInfoRecord* record;
    int32_t count;
  };
  using NodeList = std::list<QueueNode>;

  static DWORD WINAPI WorkerMain(LPVOID self);
  void RunWorker();
  void TakeNewIdentifiers();
  // One pass over the head of the queue; false when the queue is empty and
  // the worker is to sleep.
  bool IdentifyHead();
  // Asks the identifiers about the record; true when a hold broke it off.
  bool IdentifyRecord(FileInfoRecord* record);
  void StartWorker();
  void StopWorker();
  void ClearQueues();
  // With the database lock held.
  static NodeList::iterator FindNode(NodeList& list, FileInfoRecord* record);
  void AppendToQueue(NodeList& from, NodeList::iterator node);
  void DeleteIdentifiers();
  CriticalSection& DataBaseLock() const;

  CFileInfoDataBase* m_Files;
  NodeList m_Queue;
  NodeList m_Waiting;
  std::vector<FileInfoRecord*> m_Held;
  FileInfoRecord* m_Current = nullptr;
  std::vector<std::unique_ptr<CFileIdentifier>> m_Identifiers;
  std::vector<std::unique_ptr<CFileIdentifier>> m_NewIdentifiers;
  CriticalSection m_IdentifierLock;
  HANDLE m_Worker = nullptr;
  DWORD m_WorkerThreadId = 0;
  HANDLE m_StopEvent = nullptr;
  HANDLE m_WorkEvent = nullptr;
  // Set while the worker sleeps on an empty queue; the work event's
  // opposite, changed under the same lock.
  HANDLE m_IdleEvent = nullptr;
};

// The program's one identifier system.
CFileIdentifierSystem& GetFileIdentifierSystem();

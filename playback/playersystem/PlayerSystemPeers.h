// The systems the player system works with whose own code lives elsewhere,
// each seen through the few operations the player system calls. Every
// class here answers as if its system were absent (does nothing, finds
// nothing, refuses nothing); the program installs the real systems and
// tests install doubles that record the calls.
//
// Threading: each operation is called on the user-interface thread unless
// its comment names another.
#pragma once

#include <windows.h>

#include <vector>

#include "foundation/errors/ThreadErrorState.h"
#include "pluginhost/abi/PlugInAbi.h"
#include "pluginhost/viewer/ViewerWindowSystem.h"

class CMixerVolumeControl;
class CPlayer;
class CPlayListEntry;
class CPlayListEntryHolder;
class CPlayListFolderEntry;
class CPlugIn;
struct FileInfoRecord;

// Data-system session slot 0: the stream that the current or candidate
// player shares with the file identification.
class CPlayerSessions {
 public:
  virtual ~CPlayerSessions() = default;
  virtual void SetSessionUrl(const char* /*url*/) {}
  virtual bool IsSessionOn(const char* /*url*/) { return true; }
  virtual void SetSessionOwner(PLUGIN_HANDLE /*owner*/) {}
  virtual void AbortSession() {}
  virtual void CloseSession() {}
  virtual void DetachSession() {}
  // Closes every slot bound to the URL; called on a player's thread.
  virtual void ReleaseSessionsOnUrl(const char* /*url*/) {}
};

// The visualizer system around playback, and its data sampler.
class CPlayerVisualizers {
 public:
  virtual ~CPlayerVisualizers() = default;
  virtual void StartPlayback() {}
  virtual void EndPlayback() {}
  // These four also come from players' threads.
  virtual void StopVisualizer() {}
  virtual void PauseVisualization() {}
  virtual void ResumeVisualization() {}
  // PCM the current player writes: the visualizer's answer, or 0 when no
  // visualizer takes it.
  virtual int FeedVisualizer(const void* /*samples*/, DWORD /*bytes*/, DWORD /*playTime*/, DWORD /*frequency*/,
                             DWORD /*bitsPerSample*/, DWORD /*channels*/) {
    return 0;
  }
  // The sampler; false leaves the reason in the thread error.
  virtual bool InitSampler() { return true; }
  virtual void ShutdownSampler() {}
  virtual void StopSampler() {}
  virtual bool IsSamplerCapturing() { return false; }
  virtual bool PauseSampler() { return true; }
  virtual bool ResumeSampler() { return true; }
};

// The viewer window system; the player system uses its player mode.
using CPlayerViewer = CViewerWindowSystem;

// The mixer manager: hands the current player volume controls of mixer
// lines and gives the lines their volumes back after playback.
class CPlayerMixer {
 public:
  virtual ~CPlayerMixer() = default;
  virtual void Init() {}
  // With one reference for the caller; false leaves the reason in the
  // thread error. Called on a player's thread.
  virtual bool GetVolumeControl(DWORD /*componentType*/, CMixerVolumeControl** /*control*/) {
    SetThreadError(THREAD_ERROR_MISC, MISC_ERROR_MIXER_CONTROL_UNAVAILABLE,
                   GetMiscErrorText(MISC_ERROR_MIXER_CONTROL_UNAVAILABLE));
    return false;
  }
  virtual void RestoreAllVolumes() {}
  virtual void Clear() {}
};

// The file identifier, which reads the playlist's files in the background
// through session slot 1.
class CPlayerFileIdentifier {
 public:
  virtual ~CPlayerFileIdentifier() = default;
  virtual void AddFileObject(FileInfoRecord* /*record*/) {}
  virtual void RemoveFileObject(FileInfoRecord* /*record*/) {}
  // Holds the file back from identification; called on a player's thread.
  virtual void AddToPendingList(FileInfoRecord* /*record*/) {}
  // The record being identified now, or null; called on a player's thread.
  virtual FileInfoRecord* GetCurrentObject() { return nullptr; }
  // Called on whichever thread changes the current player.
  virtual void RestartIdentification() {}
};

// The folder content enumeration, which fills folder entries of the
// playlist in the background.
class CPlayerFolderEnumeration {
 public:
  virtual ~CPlayerFolderEnumeration() = default;
  virtual void AddFolderEntry(CPlayListFolderEntry* /*entry*/) {}
  // With `recursive`, the folder entries nested in it too.
  virtual void RemoveFolderEntry(CPlayListFolderEntry* /*entry*/, bool /*recursive*/) {}
  virtual void StopAll() {}
  // True when no listing runs or waits.
  virtual bool IsIdle() { return true; }
};

// How the player objects of one plug-in are found and wrapped: appends
// each initialised player (owned by the caller from then on), logging as
// it goes.
class CPlayerDiscovery {
 public:
  virtual ~CPlayerDiscovery() = default;
  virtual void DiscoverPlayers(CPlugIn& /*plugIn*/, std::vector<CPlayer*>& /*found*/) {}
};

// What the user interface hears of changes to the playlist (it passes them
// on to the playlist window and the main window).
class CPlayListObserver {
 public:
  // The three positions of an entry before it moved.
  struct Positions {
    INT index;
    INT fileNumber;
    INT entryNumber;
  };
  virtual ~CPlayListObserver() = default;
  virtual void OnPlayListCleared() {}
  virtual void OnPlayListStateChanged() {}
  virtual void OnEntriesInserted(CPlayListEntryHolder* /*holder*/, INT /*count*/, INT /*index*/) {}
  virtual void OnEntriesRemoved(CPlayListEntry* const* /*entries*/, INT /*count*/) {}
  virtual void OnEntryMoved(CPlayListEntry* /*entry*/, const Positions& /*old*/) {}
  // Before a folder entry is replaced by its contents.
  virtual void OnEntryRemoved(CPlayListFolderEntry* /*entry*/, bool /*recursive*/) {}
  virtual void OnEntryChanged(CPlayListEntry* /*entry*/, INT /*volume*/) {}
};

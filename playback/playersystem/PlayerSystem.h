// CPlayerSystem: the one playback controller of the program. It owns the
// players, the current playlist with its play order, the loop and shuffle
// switches, the playing position and length and the master volume. It
// chooses and starts a player for the current entry (trying the willing
// players in order, and moving on through the playlist when none plays a
// file, at most once around it), stops, pauses, resumes and seeks, and
// tells the user interface's message window what changed.
//
// Threading: everything runs on the user-interface thread except the
// reports of players (the section so named below), which come from the
// players' own threads. Reports that change playback state are posted to
// the system's own message window and handled on the user-interface
// thread; a report carrying an older play counter is stale and ignored.
// Locks, in the order taken where two are held: playback, then position;
// playback, then current player; the file-information lock before the
// position lock and before the playing-information lock. Nothing holding
// the current-player lock waits for the playback lock, so a player that
// reports while Play holds the playback lock cannot deadlock with it.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

#include "display/MessageWindow.h"
#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/Random15.h"
#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"
#include "playback/player/ObjectPreference.h"
#include "playback/player/Player.h"
#include "playback/playersystem/PlayOrder.h"
#include "playback/player/FileExtensionEnum.h"
#include "playback/playersystem/PlayerSystemPeers.h"
#include "playback/playlist/PlayList.h"
#include "playback/sound/SoundOptions.h"

class CFileInfoDataBase;
class CFolderInfoDataBase;
class CPlayListFileEntry;
class CPlayListFolderEntry;
class CPlugInManager;
class CProxyDataBase;

// Messages sent (0x4C8-0x4CD) or posted (0x52D) to the user interface's
// message window, all with wParam and lParam 0.
enum PlayerNotice : UINT {
  PLAYER_NOTICE_CURRENT_ENTRY = 0x4C8,
  PLAYER_NOTICE_LOOP = 0x4C9,
  PLAYER_NOTICE_SHUFFLE = 0x4CA,
  PLAYER_NOTICE_PAUSE_STATE = 0x4CB,
  PLAYER_NOTICE_PLAY_STATE = 0x4CC,
  PLAYER_NOTICE_VOLUME = 0x4CD,
  PLAYER_NOTICE_CURRENT_PLAYER = 0x52D,
};

// Results a player reports when its playback ends.
enum PlaybackResult : DWORD {
  PLAYBACK_FINISHED = 0,
  PLAYBACK_ERROR = 1,
  PLAYBACK_CANNOT_PLAY = 2,
};

// What a player may ask about the file being played.
struct PlayingInfo {
  CStr url;
  CStr displayName;
  CStr title;
  DWORD position = 0;  // ms; 0 unless there is a URL
  DWORD length = 0;
};

class CPlayerSystem : public CTypedObject {
  TWL_DECLARE_CLASS(CPlayerSystem)
 public:
  // The system's own message window.
  static constexpr UINT kPlaybackFinishedMessage = 0x4FA;
  static constexpr UINT kLengthChangedMessage = 0x4FB;
  static constexpr UINT kStickToFileMessage = 0x4FC;
  static constexpr DWORD kPausedBit = 0x100;
  static constexpr int kPlayerThreadPriority = 15;
  static constexpr int kFullVolume = 256;
  static constexpr int kPlayerLengthPriority = 193;

  // With the program's information databases.
  CPlayerSystem();
  CPlayerSystem(CFileInfoDataBase& files, CFolderInfoDataBase& folders);
  CPlayerSystem(const CPlayerSystem&) = delete;
  CPlayerSystem& operator=(const CPlayerSystem&) = delete;
  // Deletes the players still held (Exit normally did).
  ~CPlayerSystem() override;

  // The systems it works with; not owned. Null puts the absent system
  // back. Set them before Init.
  void SetSessions(CPlayerSessions* sessions);
  void SetVisualizers(CPlayerVisualizers* visualizers);
  void SetViewer(CPlayerViewer* viewer);
  void SetMixer(CPlayerMixer* mixer);
  void SetFileIdentifier(CPlayerFileIdentifier* identifier);
  void SetFolderEnumeration(CPlayerFolderEnumeration* enumeration);
  void SetDiscovery(CPlayerDiscovery* discovery);
  void SetPlayListObserver(CPlayListObserver* observer);
  // The user interface's message window; null sends and posts nothing.
  void SetUserInterfaceWindow(HWND window);
  // The play-order generator (seeded from the clock when the system is
  // made).
  void SeedRandom(uint32_t seed) { m_Random.Seed(seed); }

  // --- Lifecycle (user-interface thread)
  // The stored settings, before Init: the sound options (see
  // LoadSoundOptions). The player preferences are not stored yet.
  void LoadOptions();
  // Prepares the sampler (failure throws an error object), the mixer and
  // the own message window, then loads the players of every plug-in of
  // the manager (none when it is null) and, unless told not to, the last
  // playlist.
  void Init(CPlugInManager* plugIns);
  // The players of the plug-ins from `first` on, after a header line.
  void InitNewPlayers(CPlugInManager& plugIns, INT first);
  void InitPlayers(CPlugInManager& plugIns, INT index);
  // Stops, deletes the players (last first), saves the playlist as the
  // last one (after an Init), destroys the message window and clears the
  // mixer and the sampler.
  void Exit();
  // Takes ownership.
  void AddPlayer(CPlayer* player);
  INT GetPlayerCount();
  // Lets every player add the proxy types it needs (the data system's
  // proxy start-up); what each answers is not used.
  void RegisterProxyTypes(CProxyDataBase& proxies);
  // Every player's extensions, then the two playlist types ("m3u" and
  // "pls", file type 4), added to `list`.
  void CollectFileExtensions(CFileExtensionEnum& list);
  // The extensions the players play as of the last association check,
  // with the user's choice of which belong to this player; user-interface
  // thread.
  CFileExtensionEnum& GetFileExtensions() { return m_FileExtensions; }

  // --- Playing (user-interface thread)
  // Plays the current entry; when no player takes it, moves on through the
  // play order, at most until as many files failed in a row as the
  // playlist holds. True when playing or when there is nothing to do.
  bool Play(bool prepareVisualizers);
  // Play, or remember to play once folder listings produce a first entry.
  bool StartPlayback();
  bool Stop(bool unprepareVisualizers);
  void Pause();
  void Resume();
  void TogglePause();
  bool IsPlaying();
  bool IsPaused();
  void Seek(DWORD milliseconds);
  void SeekRelative(LONG deltaMilliseconds);
  void GetPositionAndLength(DWORD& position, DWORD& length);

  int GetVolume();
  // Clamped to 0..256.
  void SetVolume(int volume);
  void ChangeVolume(int delta);

  // --- The play order (user-interface thread)
  bool SelectNextFile();
  bool SelectPreviousFile();
  bool SelectFirstFile();
  bool SelectLastFile();
  // An entry number (file number) or -1; a number outside the playlist
  // counts as -1.
  void SetCurrentEntry(INT entry);
  // A play-order index or -1; one outside the order counts as -1.
  void SetCurrentPosition(INT position);
  void SetShuffle(bool on);
  void SetLoop(bool on);
  bool GetShuffle() const { return m_Shuffle; }
  bool GetLoop() const { return m_Loop; }
  // Shuffles the whole order; `first` (a file number or -1) then stands at
  // index 0.
  void ShufflePlayOrder(INT first);
  void ResetPlayOrder();

  // --- Playlist editing (user-interface thread)
  // Entries made from texts (paths, URLs, "name<" for a file whatever its
  // extension, "folder/" for a folder, playlist files as folders),
  // inserted into the holder (null: the playlist) at the index (-1: the
  // end). `made` receives the new entries in order, null for skipped
  // texts at its end. The index of the first new entry, -1 when none.
  INT AddUrls(CPlayListEntryHolder* holder, INT index, const char* const* texts, INT count,
              CPlayListEntry** made = nullptr);
  // Takes the entries over. The index of the first, -1 for count < 1.
  INT InsertEntries(CPlayListEntryHolder* holder, INT index, CPlayListEntry* const* entries, INT count);
  // Removes and deletes entries from anywhere in the tree (a folder with
  // everything in it). When the current entry goes, the next file of the
  // play order becomes current (the one before when it was the last), and
  // playback goes on there.
  void RemoveEntries(CPlayListEntry* const* entries, INT count);
  void RemoveAllEntries();
  // Reorder entries inside one holder (null: the playlist): `target` as
  // for CPlayListEntryHolder::Move. MoveEntries moves the listed entries
  // so that they end up in the listed order before the target.
  void MoveEntry(CPlayListEntryHolder* holder, INT index, INT target);
  void MoveEntries(CPlayListEntryHolder* holder, const INT* indices, INT count, INT target);
  // Replaces the playlist by a copy of a loaded one, with its switches.
  void SetPlayList(const CPlayList& loaded);
  void SetEntryVolume(CPlayListFileEntry* entry, INT percent);
  void OnEntryVolumeChanged(CPlayListFileEntry* entry, INT percent);
  // Replaces a folder entry by its contents, at once or (without `now`,
  // while its listing runs) when the listing ends.
  void ExpandFolderEntry(CPlayListFolderEntry* entry, bool recursive, bool now);
  void OnFolderEnumerationDone(CPlayListFolderEntry* entry);
  // Moves every file entry of the source tree, in display order, to the
  // front of the target (both outside the current playlist).
  static void FlattenEntries(CPlayListEntryHolder& target, CPlayListEntryHolder& source);
  // The switches into the playlist, before it is saved.
  void UpdatePlayListFlags();

  // --- Sound options
  // From the settings key's "\SoundOptions": a value that is missing, of
  // the wrong type or size, or not one of the accepted ones keeps its
  // default with a warning; then the preferred device is checked. Without
  // the sub-key the defaults are fitted to the default device and nothing
  // is written.
  void LoadSoundOptions();
  // Writes the five values; failures are logged.
  void SaveSoundOptions();
  // A copy under the sound-options lock; any thread.
  void GetSoundOptions(SoundOptions& options);
  // Takes a copy, then saves it.
  void SetSoundOptions(const SoundOptions& options);
  // A preferred device that DirectSound no longer has (DSERR_NODRIVER)
  // gives way to the default device, with a warning; the stored value
  // stays until the next save.
  void CheckPreferredSoundDevice();

  // --- Player preferences
  CObjectPreferenceManager& GetPlayerPreferences() { return m_PlayerPreferences; }
  // The candidates of the URL named by the first preference that matches
  // it move to the front, the key added last to the record first; the
  // others keep their order.
  void ApplyPlayerPreference(const char* url);

  // --- The last playlist
  // Cleared when the command line adds files or loads a playlist: Init
  // then leaves the last playlist unread. Set at construction.
  void SetLoadLastPlayList(bool load) { m_LoadLastPlayList = load; }
  bool GetLoadLastPlayList() const { return m_LoadLastPlayList; }
  // The folder of "LastPlayList.p4u", ending with a separator; an empty
  // text (what a new system has) keeps no last playlist. The program's
  // system keeps it in the program folder, as the host environment tells
  // it when the playlist is loaded or saved.
  void SetLastPlayListFolder(const char* folder) { m_LastPlayListFolder = CStr(folder); }
  void KeepLastPlayListInProgramFolder() { m_LastPlayListFolder.reset(); }
  // Empty when no last playlist is kept.
  CStr GetLastPlayListPath() const;
  // Replaces the playlist by the last one; logged, never thrown.
  void LoadLastPlayList();
  // The playlist with the loop and shuffle switches; logged, never thrown.
  void SaveLastPlayList();

  // --- State
  CPlayList& GetPlayList() { return m_PlayList; }
  const CPlayOrder& GetPlayOrder() const { return m_PlayOrder; }
  INT GetPlayPosition() const { return m_PlayPosition; }
  INT GetCurrentEntryNumber() const { return m_CurrentEntry; }
  CPlayListFileEntry* GetCurrentEntry();
  FileInfoRecord* GetCurrentFileObject();
  CPlayer* GetCurrentPlayer();
  PLUGIN_HANDLE GetCurrentPlayerHandle();
  bool IsCurrentPlayer(PLUGIN_HANDLE handle);
  CPlayer* FindPlayerByHandle(PLUGIN_HANDLE handle);
  // Keys compared without case.
  CPlayer* FindPlayerByKey(const char* key);
  DWORD GetPlayCounter();
  INT GetFailedFiles();
  bool IsPlayPending() const { return m_PlayPending; }
  HWND GetMessageWindow() const { return m_MessageWindow.GetWindowHandle(); }

  // --- Around the display (user-interface thread)
  bool RestorePlayerSurfaces();
  void BeginSkinChange();
  void EndSkinChange();
  void BeginModeChange() { BeginSkinChange(); }
  void EndModeChange() { EndSkinChange(); }

  // --- Reports of players (plug-in threads). Each takes the caller's
  // handle and is ignored unless it is the current player's.
  void PauseVisualization(PLUGIN_HANDLE caller);
  void ResumeVisualization(PLUGIN_HANDLE caller);
  void StopVisualization(PLUGIN_HANDLE caller);
  // False unless the current visualizer took the samples.
  bool FeedVisualization(const void* samples, DWORD bytes, DWORD playTime, DWORD frequency, DWORD bitsPerSample,
                         DWORD channels, PLUGIN_HANDLE caller);
  void NotifyStickToFile(PLUGIN_HANDLE caller);
  void NotifyPlaybackFinished(DWORD result, PLUGIN_HANDLE caller);
  void SetPosition(DWORD milliseconds, PLUGIN_HANDLE caller);
  void SetLength(DWORD milliseconds, PLUGIN_HANDLE caller);
  int GetEffectiveVolume();
  int GetPlayerThreadPriority() const { return kPlayerThreadPriority; }
  void SetSampleFeed(bool feedsItself, DWORD flags, PLUGIN_HANDLE caller);
  PlayingInfo GetPlayingInfo();
  // The current player, when its answer asked for it, gets the file to
  // itself: the file identification lets go of it (this waits for that)
  // and every data session on it closes. Otherwise false with
  // miscellaneous error 5 and a text naming the player.
  bool GetExclusiveFileAccess(const char* url, PLUGIN_HANDLE caller);
  // A volume control of a mixer line for the current player, with one
  // reference for it; anyone else is refused with miscellaneous error 5.
  bool GetMixerVolumeControl(DWORD componentType, CMixerVolumeControl** control, PLUGIN_HANDLE caller);

 private:
  // A candidate refused after its Play had started: what it said, and the
  // play it belonged to.
  struct RefusalRecord {
    CStr errorText;
    DWORD playCounter;
    bool willPlay;
  };
  enum class Attempt { kPlaying, kNothingToDo, kFailed };

  CPlayerSessions& Sessions() { return *m_Sessions; }
  void Notify(UINT message);
  void PostNotice(UINT message);
  static void OnMessage(void* context, UINT message, WPARAM wParam, LPARAM lParam);
  void DestroyMessageWindow();

  // Playing.
  void FindCandidatePlayers(const char* url);
  Attempt PlayOnce(bool prepareVisualizers);
  bool TryCandidates(size_t first, const CStr& url, FileInfoRecord* file);
  void LogAllRefused(const CStr& url);
  void AppendError(CPlayer* player, const char* text);
  // After a failed file: false when the pass is over or no next file.
  bool MoveOnAfterFailure();
  bool PlayWithNextCandidate(const RefusalRecord& record);
  bool StopPlayback(bool unprepareVisualizers, bool endOfRun);
  void LeaveViewerAndSession();
  void SetCurrentPlayer(PLUGIN_HANDLE handle);
  void UpdateEffectiveVolume();
  void RecordLength(DWORD length);

  // The play order.
  void ChangeCurrent(INT position, INT entry);
  void RefreshPlayingInfo();
  INT GetFileCount() const { return m_PlayOrder.GetCount(); }

  // Editing.
  void HandEntriesToIdentifier(CPlayListEntry* entry);
  void WithdrawFromIdentifier(CPlayListEntry* entry);
  void ApplyEntryVolume(CPlayListFileEntry* entry);

  // Handlers of the own window.
  void OnPlaybackFinished(WPARAM wParam, LPARAM lParam);
  void OnLengthChanged();
  void OnStickToFile(DWORD playCounter);

  CFileInfoDataBase& m_Files;
  CFolderInfoDataBase& m_Folders;

  CPlayList m_PlayList;
  CPlayOrder m_PlayOrder;
  INT m_PlayPosition = -1;
  INT m_CurrentEntry = -1;
  bool m_Playing = false;
  bool m_Paused = false;
  bool m_Stopping = false;
  bool m_Shuffle = false;
  bool m_Loop = false;
  bool m_Initialized = false;
  DWORD m_Position = 0;
  DWORD m_Length = 0;
  DWORD m_EndPosition = 0;
  DWORD m_EndLength = 0;
  CPlayer* m_CurrentPlayer = nullptr;
  size_t m_CurrentPlayerIndex = 0;
  CStr m_ErrorText;
  DWORD m_PlayCounter = 0;
  int m_MasterVolume = kFullVolume;
  int m_EffectiveVolume = kFullVolume;
  std::vector<CPlayer*> m_Players;  // owned
  CFileExtensionEnum m_FileExtensions;
  std::vector<CPlayer*> m_Candidates;
  std::vector<CanPlayAnswer> m_Answers;
  CMessageWindow m_MessageWindow;
  PLUGIN_HANDLE m_CurrentPlayerHandle = nullptr;
  bool m_PlayPending = false;
  // Read and written by the current-player change on any thread.
  std::atomic<bool> m_WillPlay{false};
  INT m_FailedFiles = 0;
  CStr m_PlayingUrl;
  CStr m_PlayingDisplayName;
  CStr m_PlayingTitle;
  CRandom15 m_Random;
  HWND m_UserInterfaceWindow = nullptr;
  SoundOptions m_SoundOptions;
  CObjectPreferenceManager m_PlayerPreferences;
  bool m_LoadLastPlayList = true;
  // None: the program folder.
  std::optional<CStr> m_LastPlayListFolder = CStr();

  CriticalSection m_PlayersLock;
  CriticalSection m_PlaybackLock;
  CriticalSection m_PositionLock;
  CriticalSection m_VolumeLock;
  CriticalSection m_CurrentPlayerLock;
  CriticalSection m_PlayingInfoLock;
  CriticalSection m_SoundOptionsLock;

  CPlayerSessions* m_Sessions;
  CPlayerVisualizers* m_Visualizers;
  CPlayerViewer* m_Viewer;
  CPlayerMixer* m_Mixer;
  CPlayerFileIdentifier* m_Identifier;
  CPlayerFolderEnumeration* m_FolderEnumeration;
  CPlayerDiscovery* m_Discovery;
  CPlayListObserver* m_Observer;
};

// The program's one player system, made on first use and never destroyed;
// it reports playback to the program's visualizer system and keeps the last
// playlist in the program folder.
CPlayerSystem& GetPlayerSystem();

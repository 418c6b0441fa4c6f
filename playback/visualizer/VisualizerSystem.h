// CVisualizerSystem: the program's visualizers. It loads the visualizers
// of all plug-ins, keeps one of them current (remembered in the settings
// value "CurrentVisualizer", matched without case), makes it the user of
// the viewer's visualizer mode, prepares and unprepares it around playback
// while the viewer shows it, passes it the player's pauses, resumes and
// stops, and feeds it the sound players write.
//
// Threading: options, Init, Exit, the choice of visualizer, surfaces, skin
// changes, StartPlayback, EndPlayback and SetVisualizerVisible run on the
// user-interface thread; PauseVisualizer, ResumeVisualizer, StopVisualizer
// and FeedVisualizer also come on players' threads. The lock guards the
// flags, the list, the current index, visualizer and key; visualizers and
// the viewer are called outside it. A call from a player's thread holds the
// visualizer it uses until it returns, and Exit waits for such calls
// before it deletes anything.
#pragma once

#include <windows.h>

#include <vector>

#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"

class CPlugIn;
class CPlugInManager;
class CViewerWindowSystem;
class CVisualizer;

// How the visualizer objects of one plug-in are found and wrapped: appends
// each initialised visualizer (owned by the caller from then on), logging
// as it goes. This class finds none.
class CVisualizerDiscovery {
 public:
  virtual ~CVisualizerDiscovery() = default;
  virtual void DiscoverVisualizers(CPlugIn& /*plugIn*/, std::vector<CVisualizer*>& /*found*/) {}
};

class CVisualizerSystem : public CTypedObject {
  TWL_DECLARE_CLASS(CVisualizerSystem)
 public:
  CVisualizerSystem();
  CVisualizerSystem(const CVisualizerSystem&) = delete;
  CVisualizerSystem& operator=(const CVisualizerSystem&) = delete;
  // Deletes the visualizers still held (Exit normally did).
  ~CVisualizerSystem() override;

  // Not owned; null puts the absent system back. Set them before Init.
  void SetViewer(CViewerWindowSystem* viewer);
  void SetDiscovery(CVisualizerDiscovery* discovery);

  // --- Lifecycle (user-interface thread)
  // Reads "CurrentVisualizer" from the settings key; "" when missing.
  void LoadOptions();
  // Loads the visualizers of every plug-in of the manager (none when it is
  // null) after those already added, then picks the current one: the
  // first whose key equals the remembered one without case, else (logged)
  // the first visualizer, which is then saved as the current one.
  void Init(CPlugInManager* plugIns);
  // The visualizers of the plug-ins from `first` on, after a header line.
  void InitNewVisualizers(CPlugInManager& plugIns, INT first);
  void LoadVisualizers(CPlugInManager& plugIns, INT index);
  // Drops the current visualizer (unprepared when it was prepared, nothing
  // saved), then deletes every visualizer, last first.
  void Exit();
  // Takes ownership.
  void AddVisualizer(CVisualizer* visualizer);

  INT GetVisualizerCount();
  // Null outside the list.
  CVisualizer* GetVisualizer(INT index);
  INT GetCurrentVisualizerIndex();
  CVisualizer* GetCurrentVisualizer();
  CStr GetCurrentKey();
  // An index or -1 (an index outside the list counts as -1). While playing
  // and shown, the new visualizer is prepared (and paused when playback
  // is); with `save` its key becomes the stored "CurrentVisualizer".
  void SetCurrentVisualizer(INT index, bool save);
  // Nothing happens when the settings key cannot be opened for writing.
  void SaveCurrentVisualizer();

  // --- Around the display (user-interface thread)
  bool RestoreSurfaces();
  void BeginSkinChange();
  void EndSkinChange();
  // The viewer starts or stops showing the visualizer mode.
  void SetVisualizerVisible(bool visible);

  // --- Playback reports of the player system
  void StartPlayback();
  void EndPlayback();
  void PauseVisualizer();
  void ResumeVisualizer();
  void StopVisualizer();
  // The visualizer's answer when the prepared current visualizer is shown;
  // otherwise nothing happens and the answer is 0.
  int FeedVisualizer(const void* samples, DWORD bytes, DWORD playTime, DWORD frequency, DWORD bitsPerSample,
                     DWORD channels);

 private:
  class HeldVisualizer;

  bool IsShown(CVisualizer* visualizer);
  // Prepares the current visualizer while it is shown; pauses it when
  // `paused`. Logs failures.
  void PrepareShown(CVisualizer* visualizer, bool paused);
  static void Unprepare(CVisualizer* visualizer);
  void MakeCurrent(INT index);
  void DeleteVisualizers();

  std::vector<CVisualizer*> m_Visualizers;  // owned
  INT m_CurrentIndex = -1;
  CVisualizer* m_Current = nullptr;
  bool m_Prepared = false;
  bool m_Playing = false;
  bool m_Paused = false;
  CStr m_CurrentKey;
  // Calls from players' threads that are using a visualizer now.
  int m_CallsInProgress = 0;
  CriticalSection m_Lock;

  CViewerWindowSystem* m_Viewer;
  CVisualizerDiscovery* m_Discovery;
};

// The program's one visualizer system, made on first use and never
// destroyed.
CVisualizerSystem& GetVisualizerSystem();

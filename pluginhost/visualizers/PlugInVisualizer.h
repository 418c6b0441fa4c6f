// CPlugInVisualizer and CPlugInVisualizer2: a visualizer object of a
// plug-in (kind 3) as the visualizer system's CVisualizer. CPlugInVisualizer
// speaks the first plug-in interface (its handle is the plug-in's table,
// its key the plug-in's name), CPlugInVisualizer2 the second (its handle is
// the wrapper, its key "plug-in<object id>", every call carries the
// object's context); both are TPlugInVisualizer, written once over the
// version (PlugInObject.h). A version-1 table shares only the first seven
// head slots, so the skin-change and restore calls of that version go to
// the visualizer's own slots. Empty optional slots get fixed answers.
//
// Init refuses an object that lacks Pause, Resume, Stop or Feed, which
// the visualizer system calls without looking.
//
// Threading: as CVisualizer; the wrappers hold no lock of their own.
#pragma once

#include <type_traits>

#include "playback/visualizer/Visualizer.h"
#include "pluginhost/abi/PlugInAbi.h"
#include "pluginhost/plugins/PlugInObject.h"

template <int Version>
using VisualizerTable = std::conditional_t<Version == 2, VisualizerInterface2, VisualizerInterface>;

template <int Version>
class TPlugInVisualizer : public TPlugInObject<CVisualizer, VisualizerTable<Version>, Version> {
 public:
  using Table = VisualizerTable<Version>;

  int OnViewerEvent(DWORD event, uintptr_t argument, uintptr_t data) override;
  bool SetDisplayMode(int mode) override;
  void BeginSkinChange() override;
  void EndSkinChange() override;
  bool RestoreSurfaces() override;
  bool Prepare() override;
  bool Unprepare() override;
  bool Pause() override;
  bool Resume() override;
  bool Stop() override;
  void OnPlayerEvent(DWORD event, DWORD value) override;
  int Feed(const void* samples, DWORD bytes, DWORD playTime, DWORD frequency, DWORD bitsPerSample,
           DWORD channels) override;
  const char* GetKey() override { return this->Head().GetKey(); }
  const char* GetPlugInName() override { return this->Head().GetPlugInName(); }

 protected:
  // Checks the mandatory slots, then inits the head.
  bool InitVisualizer(const void* table, PLUGIN_CONTEXT context, const char* name, const char* key,
                      const char* plugInName);
};

extern template class TPlugInVisualizer<1>;
extern template class TPlugInVisualizer<2>;

class CPlugInVisualizer : public TPlugInVisualizer<1> {
  TWL_DECLARE_CLASS(CPlugInVisualizer)
 public:
  // The discovery procedure's init; false with the reason in the thread
  // error, the object then unregistered.
  bool Init(const void* table, const char* name, const char* plugInName) {
    return InitVisualizer(table, 0, name, plugInName, plugInName);
  }
};

class CPlugInVisualizer2 : public TPlugInVisualizer<2> {
  TWL_DECLARE_CLASS(CPlugInVisualizer2)
 public:
  bool Init(const void* table, PLUGIN_CONTEXT context, const char* name, const char* key, const char* plugInName) {
    return InitVisualizer(table, context, name, key, plugInName);
  }
};

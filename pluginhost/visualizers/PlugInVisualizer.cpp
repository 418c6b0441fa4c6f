#include "pluginhost/visualizers/PlugInVisualizer.h"


TWL_IMPLEMENT_CREATABLE_CLASS(CPlugInVisualizer, CVisualizer)
TWL_IMPLEMENT_CREATABLE_CLASS(CPlugInVisualizer2, CVisualizer)

namespace {

template <class Table>
bool HasMandatoryVisualizerSlots(const Table* table) {
  return HasMandatorySlots(table, {TWL_MANDATORY_SLOT(table, VISUALIZER_Pause), TWL_MANDATORY_SLOT(table, VISUALIZER_Resume),
                                   TWL_MANDATORY_SLOT(table, VISUALIZER_Stop), TWL_MANDATORY_SLOT(table, VISUALIZER_Feed)});
}

}  // namespace

template <int Version>
bool TPlugInVisualizer<Version>::InitVisualizer(const void* table, PLUGIN_CONTEXT context, const char* name,
                                                const char* key, const char* plugInName) {
  this->Unload();
  if (!HasMandatoryVisualizerSlots(static_cast<const Table*>(table))) return false;
  return this->InitHead(table, context, name, key, plugInName);
}

template <int Version>
int TPlugInVisualizer<Version>::OnViewerEvent(DWORD event, uintptr_t argument, uintptr_t data) {
  if (!this->IsLoaded() || !this->Has(&Table::VISUALIZER_OnViewerEvent)) return 1;
  return this->Call(&Table::VISUALIZER_OnViewerEvent, event, argument, data);
}

template <int Version>
bool TPlugInVisualizer<Version>::SetDisplayMode(int mode) {
  if (!this->IsLoaded() || !this->Has(&Table::VISUALIZER_SetDisplayMode)) return true;
  this->Call(&Table::VISUALIZER_SetDisplayMode, mode);
  return true;
}

template <int Version>
void TPlugInVisualizer<Version>::BeginSkinChange() {
  if constexpr (Version == 2) {
    this->Head().BeginSkinChange();
  } else if (this->IsLoaded() && this->Has(&Table::VISUALIZER_BeginSkinChange)) {
    this->Call(&Table::VISUALIZER_BeginSkinChange);
  }
}

template <int Version>
void TPlugInVisualizer<Version>::EndSkinChange() {
  if constexpr (Version == 2) {
    this->Head().EndSkinChange();
  } else if (this->IsLoaded() && this->Has(&Table::VISUALIZER_EndSkinChange)) {
    this->Call(&Table::VISUALIZER_EndSkinChange);
  }
}

template <int Version>
bool TPlugInVisualizer<Version>::RestoreSurfaces() {
  if constexpr (Version == 2) {
    return this->Head().RestoreSurfaces();
  } else {
    if (!this->IsLoaded() || !this->Has(&Table::VISUALIZER_RestoreSurfaces)) return true;
    return this->Call(&Table::VISUALIZER_RestoreSurfaces) != 0;
  }
}

template <int Version>
bool TPlugInVisualizer<Version>::Prepare() {
  if (!this->IsLoaded()) return FailUnloadedObject();
  return !this->Has(&Table::VISUALIZER_Prepare) || this->Call(&Table::VISUALIZER_Prepare) != 0;
}

template <int Version>
bool TPlugInVisualizer<Version>::Unprepare() {
  if (!this->IsLoaded()) return FailUnloadedObject();
  return !this->Has(&Table::VISUALIZER_Unprepare) || this->Call(&Table::VISUALIZER_Unprepare) != 0;
}

template <int Version>
bool TPlugInVisualizer<Version>::Pause() {
  return this->IsLoaded() ? this->Call(&Table::VISUALIZER_Pause) != 0 : FailUnloadedObject();
}

template <int Version>
bool TPlugInVisualizer<Version>::Resume() {
  return this->IsLoaded() ? this->Call(&Table::VISUALIZER_Resume) != 0 : FailUnloadedObject();
}

template <int Version>
bool TPlugInVisualizer<Version>::Stop() {
  return this->IsLoaded() ? this->Call(&Table::VISUALIZER_Stop) != 0 : FailUnloadedObject();
}

template <int Version>
void TPlugInVisualizer<Version>::OnPlayerEvent(DWORD event, DWORD value) {
  // Only the second interface has a notification slot.
  if constexpr (Version == 2) {
    if (this->IsLoaded() && this->Has(&Table::VISUALIZER_Notify)) this->Call(&Table::VISUALIZER_Notify, event, value);
  } else {
    (void)event;
    (void)value;
  }
}

template <int Version>
int TPlugInVisualizer<Version>::Feed(const void* samples, DWORD bytes, DWORD playTime, DWORD frequency,
                                     DWORD bitsPerSample, DWORD channels) {
  if (!this->IsLoaded()) return 0;
  return this->Call(&Table::VISUALIZER_Feed, samples, bytes, playTime, frequency, bitsPerSample, channels);
}

template class TPlugInVisualizer<1>;
template class TPlugInVisualizer<2>;

#include "pluginhost/viewer/PlugInControlWindowProvider.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CPlugInControlWindowProvider, CControlWindowProvider)
TWL_IMPLEMENT_CREATABLE_CLASS(CPlugInControlWindowProvider2, CControlWindowProvider)

namespace {

template <class Table>
bool HasMandatoryProviderSlots(const Table* table) {
  return HasMandatorySlots(
      table, {TWL_MANDATORY_SLOT(table, head.OBJECT_RestoreSurfaces), TWL_MANDATORY_SLOT(table, VIEWERPROVIDER_Prepare),
              TWL_MANDATORY_SLOT(table, VIEWERPROVIDER_Unprepare), TWL_MANDATORY_SLOT(table, VIEWERPROVIDER_CreateWindow),
              TWL_MANDATORY_SLOT(table, VIEWERPROVIDER_ResizeWindow),
              TWL_MANDATORY_SLOT(table, VIEWERPROVIDER_CloseWindow),
              TWL_MANDATORY_SLOT(table, VIEWERPROVIDER_OnViewerMoved),
              TWL_MANDATORY_SLOT(table, VIEWERPROVIDER_OnActivation),
              TWL_MANDATORY_SLOT(table, VIEWERPROVIDER_BeginDraw), TWL_MANDATORY_SLOT(table, VIEWERPROVIDER_EndDraw),
              TWL_MANDATORY_SLOT(table, VIEWERPROVIDER_GetWindowHandle),
              TWL_MANDATORY_SLOT(table, VIEWERPROVIDER_ReleaseWindowHandle)});
}

}  // namespace

template <int Version>
bool TPlugInControlWindowProvider<Version>::InitProvider(const void* table, PLUGIN_CONTEXT context, const char* name,
                                                         const char* key, const char* plugInName) {
  this->Unload();
  if (!HasMandatoryProviderSlots(static_cast<const Table*>(table))) return false;
  return this->InitHead(table, context, name, key, plugInName);
}

template <int Version>
bool TPlugInControlWindowProvider<Version>::Prepare() {
  return this->IsLoaded() ? this->Call(&Table::VIEWERPROVIDER_Prepare) != 0 : FailUnloadedObject();
}

template <int Version>
bool TPlugInControlWindowProvider<Version>::Unprepare() {
  return this->IsLoaded() ? this->Call(&Table::VIEWERPROVIDER_Unprepare) != 0 : FailUnloadedObject();
}

template <int Version>
bool TPlugInControlWindowProvider<Version>::CreateWindow(int32_t height, DWORD flags, void* request) {
  if (!this->IsLoaded()) return FailUnloadedObject();
  return this->Call(&Table::VIEWERPROVIDER_CreateWindow, height, flags, request) != 0;
}

template <int Version>
bool TPlugInControlWindowProvider<Version>::ResizeWindow(int32_t height, void* request) {
  if (!this->IsLoaded()) return FailUnloadedObject();
  return this->Call(&Table::VIEWERPROVIDER_ResizeWindow, height, request) != 0;
}

template <int Version>
bool TPlugInControlWindowProvider<Version>::CloseWindow() {
  return this->IsLoaded() ? this->Call(&Table::VIEWERPROVIDER_CloseWindow) != 0 : FailUnloadedObject();
}

template <int Version>
bool TPlugInControlWindowProvider<Version>::OnViewerMoved() {
  return this->IsLoaded() ? this->Call(&Table::VIEWERPROVIDER_OnViewerMoved) != 0 : FailUnloadedObject();
}

template <int Version>
int32_t TPlugInControlWindowProvider<Version>::OnActivation() {
  return this->IsLoaded() ? this->Call(&Table::VIEWERPROVIDER_OnActivation) : FailUnloadedObject();
}

template <int Version>
bool TPlugInControlWindowProvider<Version>::RestoreSurfaces() {
  return this->IsLoaded() ? this->Head().RestoreSurfaces() : FailUnloadedObject();
}

template <int Version>
bool TPlugInControlWindowProvider<Version>::BeginDraw(void** target) {
  return this->IsLoaded() ? this->Call(&Table::VIEWERPROVIDER_BeginDraw, target) != 0 : FailUnloadedObject();
}

template <int Version>
int32_t TPlugInControlWindowProvider<Version>::EndDraw(const RECT* area) {
  return this->IsLoaded() ? this->Call(&Table::VIEWERPROVIDER_EndDraw, area) : FailUnloadedObject();
}

template <int Version>
bool TPlugInControlWindowProvider<Version>::GetWindowHandle(uintptr_t argument) {
  if (!this->IsLoaded()) return FailUnloadedObject();
  return this->Call(&Table::VIEWERPROVIDER_GetWindowHandle, argument) != 0;
}

template <int Version>
int32_t TPlugInControlWindowProvider<Version>::ReleaseWindowHandle() {
  return this->IsLoaded() ? this->Call(&Table::VIEWERPROVIDER_ReleaseWindowHandle) : FailUnloadedObject();
}

template class TPlugInControlWindowProvider<1>;
template class TPlugInControlWindowProvider<2>;

// CPlugInControlWindowProvider and CPlugInControlWindowProvider2: a
// viewer-window provider object of a plug-in (kind 2) as the viewer window
// system's CControlWindowProvider. The first speaks plug-in interface 1
// (its handle the plug-in's table, its key the plug-in's name), the second
// interface 2 (its handle the wrapper, its key "plug-in<object id>"); both
// are TPlugInControlWindowProvider, written once over the version.
//
// The viewer window system calls every provider slot without looking, so
// Init refuses an object that leaves any of them, or the head's
// RestoreSurfaces, empty. Boolean answers come back as 0 or 1; the 32-bit
// answers of OnActivation, EndDraw and ReleaseWindowHandle come back as the
// plug-in gave them.
//
// Threading: as CControlWindowProvider; the wrappers hold no lock.
#pragma once

#include <type_traits>

#include "pluginhost/abi/PlugInAbi.h"
#include "pluginhost/plugins/PlugInObject.h"
#include "pluginhost/viewer/ControlWindowProvider.h"

template <int Version>
using ControlWindowProviderTable =
    std::conditional_t<Version == 2, ControlWindowProviderInterface2, ControlWindowProviderInterface>;

template <int Version>
class TPlugInControlWindowProvider
    : public TPlugInObject<CControlWindowProvider, ControlWindowProviderTable<Version>, Version> {
 public:
  using Table = ControlWindowProviderTable<Version>;

  void BeginSkinChange() override { this->Head().BeginSkinChange(); }
  void EndSkinChange() override { this->Head().EndSkinChange(); }
  bool Prepare() override;
  bool Unprepare() override;
  bool CreateWindow(int32_t height, DWORD flags, void* request) override;
  bool ResizeWindow(int32_t height, void* request) override;
  bool CloseWindow() override;
  bool OnViewerMoved() override;
  int32_t OnActivation() override;
  bool RestoreSurfaces() override;
  bool BeginDraw(void** target) override;
  int32_t EndDraw(const RECT* area) override;
  bool GetWindowHandle(uintptr_t argument) override;
  int32_t ReleaseWindowHandle() override;
  const char* GetKey() override { return this->Head().GetKey().c_str(); }

 protected:
  // Checks the mandatory slots, then inits the head.
  bool InitProvider(const void* table, PLUGIN_CONTEXT context, const char* name, const char* key,
                    const char* plugInName);
};

extern template class TPlugInControlWindowProvider<1>;
extern template class TPlugInControlWindowProvider<2>;

class CPlugInControlWindowProvider : public TPlugInControlWindowProvider<1> {
  TWL_DECLARE_CLASS(CPlugInControlWindowProvider)
 public:
  // The discovery procedure's init; false with the reason in the thread
  // error.
  bool Init(const void* table, const char* name, const char* plugInName) {
    return InitProvider(table, 0, name, plugInName, plugInName);
  }
};

class CPlugInControlWindowProvider2 : public TPlugInControlWindowProvider<2> {
  TWL_DECLARE_CLASS(CPlugInControlWindowProvider2)
 public:
  bool Init(const void* table, PLUGIN_CONTEXT context, const char* name, const char* key, const char* plugInName) {
    return InitProvider(table, context, name, key, plugInName);
  }
};

// TPlugInObject: the one shape of every host wrapper of a plug-in object,
// for both plug-in interface versions. The version difference lives here
// and nowhere else: a version-1 object's slots take the call's arguments,
// a version-2 object's slots take the object's context first; version 1
// inits the head from the table alone (its key is the plug-in's name),
// version 2 with the context and the key "plug-in<object id>". A kind's
// wrapper is written once as a template over the version, reaching its
// slots through Call and Has with the slot's name, and the two classes the
// discovery procedure creates are that template at 1 and 2 with an Init of
// the version's signature (see ObjectDiscovery.h).
//
// TPlugInObject answers the CConfigurableObject operations from the head;
// TPlugInControlWindowUser adds the skin-change and surface-restoration
// slots of objects that may use the viewer window.
//
// Threading: as CPlugInObjectHead.
#pragma once

#include <windows.h>

#include "pluginhost/abi/PlugInAbi.h"
#include "pluginhost/plugins/PlugInObjectHead.h"

template <class Base, class Table, int Version>
class TPlugInObject : public Base {
  static_assert(Version == 1 || Version == 2, "plug-in interfaces come in versions 1 and 2");

 public:
  TPlugInObject() : m_Head(*this) {}
  TPlugInObject(const TPlugInObject&) = delete;
  TPlugInObject& operator=(const TPlugInObject&) = delete;
  ~TPlugInObject() override { m_Head.Unload(); }

  void Unload() { m_Head.Unload(); }

  void* GetHandle() override { return m_Head.GetHandle(); }
  const char* GetName() override { return m_Head.GetName(); }
  const char* GetDescription() override { return m_Head.GetDescription(); }
  int GetImageIndex() override { return m_Head.GetImageIndex(); }
  bool HasConfigure() override { return m_Head.HasConfigure(); }
  bool Configure(HWND parent) override { return m_Head.Configure(parent); }
  bool HasInfo() override { return m_Head.HasInfo(); }
  bool ShowInfo(HWND parent) override { return m_Head.ShowInfo(parent); }

 protected:
  // The common object init of the version; `context` and `key` are those
  // of version 2 and go unused by version 1. False with the reason in the
  // thread error.
  bool InitHead(const void* table, PLUGIN_CONTEXT context, const char* name, const char* key, const char* plugInName) {
    if constexpr (Version == 2)
      return m_Head.Init2(table, context, name, key, plugInName);
    else
      return m_Head.Init(table, name, plugInName);
  }

  bool IsLoaded() const { return m_Head.IsLoaded(); }
  const CPlugInObjectHead& Head() const { return m_Head; }
  // The object's table; only while loaded.
  const Table& Slots() const { return *static_cast<const Table*>(m_Head.GetTable()); }

  // Whether the loaded object fills the slot.
  template <class Slot>
  bool Has(Slot Table::*slot) const {
    return Slots().*slot != nullptr;
  }
  // Calls a slot of the loaded object with the version's arguments.
  template <class Slot, class... Args>
  auto Call(Slot Table::*slot, Args... args) const {
    if constexpr (Version == 2)
      return (Slots().*slot)(m_Head.GetContext(), args...);
    else
      return (Slots().*slot)(args...);
  }

 private:
  CPlugInObjectHead m_Head;
};

template <class Base, class Table, int Version>
class TPlugInControlWindowUser : public TPlugInObject<Base, Table, Version> {
 public:
  void BeginSkinChange() override { this->Head().BeginSkinChange(); }
  void EndSkinChange() override { this->Head().EndSkinChange(); }
  bool RestoreSurfaces() override { return this->Head().RestoreSurfaces(); }
};

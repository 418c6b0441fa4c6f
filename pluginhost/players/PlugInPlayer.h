// CPlugInPlayer and CPlugInPlayer2: a player object of a plug-in (kind 0)
// as the player system sees it, a CPlayer. CPlugInPlayer speaks the first
// plug-in interface (its handle is the plug-in's table, its key the
// plug-in's name), CPlugInPlayer2 the second (its handle is the wrapper,
// its key "plug-in<object id>", every call carries the object's context).
// Init refuses an object that lacks a slot every player must have.
//
// Threading: the player system calls them on the user-interface thread,
// under its own locks; they hold none of their own. The plug-in plays on
// threads of its own and reports through the host API.
#pragma once

#include "playback/player/Player.h"
#include "pluginhost/abi/PlugInAbi.h"
#include "pluginhost/plugins/PlugInObjectHead.h"

// The answer of an old player (API up to 0x10000) gets levels and a
// priority by its name; newer answers keep theirs, the legacy levels
// cleared and the priority capped at 255.
void ApplyLegacyCanPlayRule(const PlugInVersionInfo& version, const char* playerName, CanPlayAnswer& answer);

class CPlugInPlayer : public CPlayer {
  TWL_DECLARE_CLASS(CPlugInPlayer)
 public:
  CPlugInPlayer() : m_Head(*this) {}
  ~CPlugInPlayer() override { m_Head.Unload(); }

  // The discovery procedure's init; false with the reason in the thread
  // error, the object then unregistered.
  bool Init(const void* table, const char* name, const char* plugInName);
  void Unload() { m_Head.Unload(); }

  void* GetHandle() override { return m_Head.GetHandle(); }
  const char* GetName() override { return m_Head.GetName(); }
  const char* GetDescription() override { return m_Head.GetDescription(); }
  int GetImageIndex() override { return m_Head.GetImageIndex(); }
  bool HasConfigure() override { return m_Head.HasConfigure(); }
  bool Configure(HWND parent) override { return m_Head.Configure(parent); }
  bool HasInfo() override { return m_Head.HasInfo(); }
  bool ShowInfo(HWND parent) override { return m_Head.ShowInfo(parent); }
  int OnViewerEvent(DWORD event, uintptr_t argument, uintptr_t data) override;
  bool SetDisplayMode(int mode) override;
  void BeginSkinChange() override { m_Head.BeginSkinChange(); }
  void EndSkinChange() override { m_Head.EndSkinChange(); }
  bool RestoreSurfaces() override { return m_Head.RestoreSurfaces(); }
  const char* GetKey() override { return m_Head.GetPlugInName(); }
  const char* GetPlugInName() override { return m_Head.GetPlugInName(); }
  bool RegisterFileTypes(CFileExtensionEnum& extensions) override;
  bool RegisterProxyTypes(CProxyDataBase& proxies) override;
  void CanPlay(const char* url, CanPlayAnswer& answer) override;
  bool Play(const char* url) override;
  bool Stop() override;
  bool Pause() override;
  bool Resume() override;
  bool Seek(DWORD milliseconds) override;
  int SetVolume(int volume) override;
  void ApplyThreadPriority(int priority) override;

 private:
  const PlayerInterface& Table() const { return *static_cast<const PlayerInterface*>(m_Head.GetTable()); }

  CPlugInObjectHead m_Head;
};

class CPlugInPlayer2 : public CPlayer {
  TWL_DECLARE_CLASS(CPlugInPlayer2)
 public:
  CPlugInPlayer2() : m_Head(*this) {}
  ~CPlugInPlayer2() override { m_Head.Unload(); }

  bool Init(const void* table, PLUGIN_CONTEXT context, const char* name, const char* key, const char* plugInName);
  void Unload() { m_Head.Unload(); }

  void* GetHandle() override { return m_Head.GetHandle(); }
  const char* GetName() override { return m_Head.GetName(); }
  const char* GetDescription() override { return m_Head.GetDescription(); }
  int GetImageIndex() override { return m_Head.GetImageIndex(); }
  bool HasConfigure() override { return m_Head.HasConfigure(); }
  bool Configure(HWND parent) override { return m_Head.Configure(parent); }
  bool HasInfo() override { return m_Head.HasInfo(); }
  bool ShowInfo(HWND parent) override { return m_Head.ShowInfo(parent); }
  int OnViewerEvent(DWORD event, uintptr_t argument, uintptr_t data) override;
  bool SetDisplayMode(int mode) override;
  void BeginSkinChange() override { m_Head.BeginSkinChange(); }
  void EndSkinChange() override { m_Head.EndSkinChange(); }
  bool RestoreSurfaces() override { return m_Head.RestoreSurfaces(); }
  const char* GetKey() override { return m_Head.GetKey(); }
  const char* GetPlugInName() override { return m_Head.GetPlugInName(); }
  bool RegisterFileTypes(CFileExtensionEnum& extensions) override;
  bool RegisterProxyTypes(CProxyDataBase& proxies) override;
  void CanPlay(const char* url, CanPlayAnswer& answer) override;
  bool Play(const char* url) override;
  bool Stop() override;
  bool Pause() override;
  bool Resume() override;
  bool Seek(DWORD milliseconds) override;
  int SetVolume(int volume) override;
  void ApplyThreadPriority(int priority) override;

 private:
  const PlayerInterface2& Table() const { return *static_cast<const PlayerInterface2*>(m_Head.GetTable()); }
  PLUGIN_CONTEXT Context() const { return m_Head.GetContext(); }

  CPlugInObjectHead m_Head;
};

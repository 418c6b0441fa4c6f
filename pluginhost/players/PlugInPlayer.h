// CPlugInPlayer and CPlugInPlayer2: a player object of a plug-in (kind 0)
// as the player system sees it, a CPlayer. CPlugInPlayer speaks the first
// plug-in interface (its handle is the plug-in's table, its key the
// plug-in's name), CPlugInPlayer2 the second (its handle is the wrapper,
// its key "plug-in<object id>", every call carries the object's context).
// Both are TPlugInPlayer, written once over the version (PlugInObject.h).
// Init refuses an object that lacks a slot every player must have.
//
// Threading: the player system calls them on the user-interface thread,
// under its own locks; they hold none of their own. The plug-in plays on
// threads of its own and reports through the host API.
#pragma once

#include <type_traits>

#include "playback/player/Player.h"
#include "pluginhost/abi/PlugInAbi.h"
#include "pluginhost/plugins/PlugInObject.h"

// The answer of an old player (API up to 0x10000) gets levels and a
// priority by its name; newer answers keep theirs, the legacy levels
// cleared and the priority capped at 255.
void ApplyLegacyCanPlayRule(const PlugInVersionInfo& version, const char* playerName, CanPlayAnswer& answer);

template <int Version>
using PlayerTable = std::conditional_t<Version == 2, PlayerInterface2, PlayerInterface>;

template <int Version>
class TPlugInPlayer : public TPlugInControlWindowUser<CPlayer, PlayerTable<Version>, Version> {
 public:
  using Table = PlayerTable<Version>;

  int OnViewerEvent(DWORD event, uintptr_t argument, uintptr_t data) override;
  bool SetDisplayMode(int mode) override;
  const char* GetKey() override { return this->Head().GetKey(); }
  const char* GetPlugInName() override { return this->Head().GetPlugInName(); }
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

 protected:
  // Checks the mandatory slots, then inits the head.
  bool InitPlayer(const void* table, PLUGIN_CONTEXT context, const char* name, const char* key, const char* plugInName);
};

extern template class TPlugInPlayer<1>;
extern template class TPlugInPlayer<2>;

class CPlugInPlayer : public TPlugInPlayer<1> {
  TWL_DECLARE_CLASS(CPlugInPlayer)
 public:
  // The discovery procedure's init; false with the reason in the thread
  // error, the object then unregistered.
  bool Init(const void* table, const char* name, const char* plugInName) {
    return InitPlayer(table, 0, name, plugInName, plugInName);
  }
};

class CPlugInPlayer2 : public TPlugInPlayer<2> {
  TWL_DECLARE_CLASS(CPlugInPlayer2)
 public:
  bool Init(const void* table, PLUGIN_CONTEXT context, const char* name, const char* key, const char* plugInName) {
    return InitPlayer(table, context, name, key, plugInName);
  }
};

// PlayerObject: the base of a player (kind 0). Its defaults answer as a
// player that plays nothing: CanPlay says no, Play fails with an
// unsupported format, pausing and seeking are not supported.
#pragma once

#include "plugins/pluginsdk/PlugInObject.h"

namespace pluginsdk {

class PlayerObject : public PlugInObject {
 public:
  using PlugInObject::PlugInObject;

  PlugInObjectKind GetKind() const override { return PLUGINOBJ_PLAYER; }
  const void* GetInterface() const override;

  virtual bool RegisterFileTypes(HOST_FILEEXTENSIONLIST list);
  virtual bool RegisterProxyTypes(HOST_PROXYTYPELIST proxies);
  virtual BOOL CanPlay(const char* url, CanPlayAnswer* answer);
  virtual bool Play(const char* url);
  virtual bool Stop();
  virtual bool Pause();
  virtual bool Resume();
  virtual bool Seek(DWORD milliseconds);
  virtual int32_t SetVolume(int32_t volume);
  virtual uintptr_t Slot19(uintptr_t word);
  virtual int32_t SetDisplayMode(int32_t mode);
  virtual bool Command(DWORD event, uintptr_t argument, uintptr_t data);
};

}  // namespace pluginsdk

// Test doubles of the viewer users (players and visualizers) with the
// do-nothing answers filled in, so that a test writes out only the calls it
// scripts or watches.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>

#include "playback/player/Player.h"
#include "support/StubConfigurableObject.h"

namespace playbacktest {

// The calls every viewer user answers (Base is CPlayer or CVisualizer), as
// a user with a name and nothing else: no picture, no dialogs, every viewer
// event and display mode taken, nothing to redraw. Its handle is the object.
template <class Base>
class StubViewerUser : public twltest::StubConfigurableObject<Base> {
 public:
  explicit StubViewerUser(std::string name) : twltest::StubConfigurableObject<Base>(std::move(name)) {}

  int OnViewerEvent(DWORD, uintptr_t, uintptr_t) override { return 1; }
  bool SetDisplayMode(int) override { return true; }
  void BeginSkinChange() override {}
  void EndSkinChange() override {}
  bool RestoreSurfaces() override { return true; }
};

// A player that succeeds at everything and plays nothing: CanPlay leaves
// the answer zeroed, SetVolume gives the volume back. Its key is its name
// unless one is given; its plug-in's name is its name.
class StubPlayer : public StubViewerUser<CPlayer> {
 public:
  explicit StubPlayer(std::string name, std::string key = "")
      : StubViewerUser(name), m_Key(key.empty() ? std::move(name) : std::move(key)) {}

  const char* GetKey() override { return m_Key.c_str(); }
  const char* GetPlugInName() override { return GetName(); }
  bool RegisterFileTypes(CFileExtensionEnum&) override { return true; }
  bool RegisterProxyTypes(CProxyDataBase&) override { return true; }
  void CanPlay(const char*, CanPlayAnswer&) override {}
  bool Play(const char*) override { return true; }
  bool Stop() override { return true; }
  bool Pause() override { return true; }
  bool Resume() override { return true; }
  bool Seek(DWORD) override { return true; }
  int SetVolume(int volume) override { return volume; }
  void ApplyThreadPriority(int) override {}

 private:
  std::string m_Key;
};

}  // namespace playbacktest

// CPlayer: the abstract player through which the player system asks whether
// a file can be played and starts, stops, pauses, resumes, seeks and sets
// the volume. Every concrete player is an adapter around a player object of
// a plug-in. A player is a viewer-window user, so it can show pictures and
// video there.
//
// Threading: CanPlay and Play run on the user-interface thread; the player
// system calls CanPlay, Play, Pause, Resume and SetVolume under its playback
// lock, so a player must not wait inside them for one of its own threads
// that reports the end of playback. The exclusive-access permission is
// written on the user-interface thread and read on plug-in threads, under
// the player's own lock, which guards nothing else.
#pragma once

#include <windows.h>

#include "foundation/kernel/CriticalSection.h"
#include "pluginhost/abi/CanPlayAnswer.h"
#include "pluginhost/viewer/ControlWindowUser.h"

class CFileExtensionEnum;
class CProxyDataBase;

class CPlayer : public CControlWindowUser {
  TWL_DECLARE_CLASS(CPlayer)
 public:
  CPlayer() = default;
  CPlayer(const CPlayer&) = delete;
  CPlayer& operator=(const CPlayer&) = delete;

  // Unique key: the plug-in's name, or "plug-in<object id>" for objects of
  // the second plug-in interface. Breaks ties between candidates and names
  // the player in the player preferences.
  virtual const char* GetKey() = 0;
  // The supplying plug-in's file name without extension.
  virtual const char* GetPlugInName() = 0;
  // Adds the file extensions the player plays.
  virtual bool RegisterFileTypes(CFileExtensionEnum& extensions) = 0;
  // Adds the proxy types the player needs; the result is not used.
  virtual bool RegisterProxyTypes(CProxyDataBase& proxies) = 0;
  // Fills the zeroed answer for the URL; starts nothing.
  virtual void CanPlay(const char* url, CanPlayAnswer& answer) = 0;
  // True: started, the player plays on its own thread. False: refused,
  // with the reason in the calling thread's error state (as for the other
  // operations that answer false).
  virtual bool Play(const char* url) = 0;
  virtual bool Stop() = 0;
  virtual bool Pause() = 0;
  virtual bool Resume() = 0;
  virtual bool Seek(DWORD milliseconds) = 0;
  // Volume 0..256; returns the effective volume of the player's own output,
  // which nobody uses.
  virtual int SetVolume(int volume) = 0;
  // Handed to the plug-in, which may apply the Windows thread priority to
  // its playback threads. The host never calls it: it hands out a fixed
  // priority instead.
  virtual void ApplyThreadPriority(int priority) = 0;

  // Asks the player about the URL on a zeroed answer and records whether
  // the answer asks for exclusive access, whatever its verdict. True when
  // the answer makes the player a candidate.
  bool AskCanPlay(const char* url, CanPlayAnswer& answer);

  void SetExclusiveAccessAllowed(bool allowed);
  bool IsExclusiveAccessAllowed();

 private:
  CriticalSection m_Lock;  // guards m_ExclusiveAccessAllowed only
  bool m_ExclusiveAccessAllowed = false;
};

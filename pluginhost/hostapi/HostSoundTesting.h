// For tests: the state of the DirectSound object that the host's sound
// buffers share.
#pragma once

#include <windows.h>

struct SharedSoundState {
  bool exists;      // made and not released
  DWORD users;      // buffers that hold it
  DWORD creations;  // how often it was made
  DWORD releases;   // how often it was released with its last buffer
};

SharedSoundState GetSharedSoundState();

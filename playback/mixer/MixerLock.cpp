#include "playback/mixer/MixerLock.h"

CriticalSection& GetMixerLock() {
  static auto* lock = new CriticalSection;  // never destroyed: used until the process ends
  return *lock;
}

// CMixerVolumeControl: the volume control of one mixer line, handed to a
// player that follows the player's volume on a line instead of a sound
// buffer. Levels 0..256 scale the line's value as it was when the control
// first set it (the base value); RestoreVolume, the last release and the
// end of playback put that value back. When the user moves the line while
// the control holds it, the base is recomputed so that the level keeps
// meaning the same.
//
// Each control has a handle, a number never handed out twice while the
// control lives, by which the host finds it among the live ones, so that a
// control the host released when playback stopped is refused rather than
// followed.
//
// Threading: every operation runs under the mixer lock (GetMixerLock),
// which it takes itself; the reference count is guarded by it too.
#pragma once

#include <windows.h>

#include <cstdint>

#include "foundation/kernel/DynamicObject.h"

class CMixer;

class CMixerVolumeControl : public CDynamicObject {
  TWL_DECLARE_CLASS(CMixerVolumeControl)
 public:
  static constexpr int kFullLevel = 256;

  // Takes a reference to the mixer; the control starts inactive at level 0.
  CMixerVolumeControl(CMixer& mixer, const MIXERCONTROLA& control, DWORD componentType);
  // Restores the line, leaves the mixer's list and lets the mixer go.
  ~CMixerVolumeControl() override;

  // value = minimum + (base - minimum) x level / 256; the first set reads
  // the base. False (WinMM error) leaves level and activity unchanged.
  bool SetVolume(int level);
  // The last level while active, else 256.
  int GetVolume();
  // Puts the base value back; false (WinMM error) leaves it active.
  bool RestoreVolume();
  // A change notice of the line's control.
  void OnControlChange();

  DWORD GetControlId() const { return m_ControlId; }
  DWORD GetComponentType() const { return m_ComponentType; }
  uintptr_t GetHandle() const { return m_Handle; }
  bool IsActive() const { return m_Active; }
  DWORD GetBaseValue() const { return m_BaseValue; }

  // The live control with that handle, or null. The caller holds the
  // mixer lock for as long as it uses the answer.
  static CMixerVolumeControl* FindLive(uintptr_t handle);

  // The mixer's list of its controls.
  CMixerVolumeControl* next = nullptr;

 private:
  CMixer* m_Mixer;
  DWORD m_ControlId;
  DWORD m_ComponentType;
  DWORD m_Maximum;
  DWORD m_Minimum;
  int m_Level = 0;
  bool m_Active = false;
  DWORD m_BaseValue = 0;
  int m_PendingOwnChanges = 0;
  uintptr_t m_Handle;
};

// CMixer: one open mixer device and the volume controls handed out on its
// lines. It lives while it has a control: each control holds a reference
// to it, and the device is closed when the last control leaves. Change
// notices go to the manager's window, which finds the mixer by its handle.
//
// Threading: every operation runs under the mixer lock (GetMixerLock).
#pragma once

#include <windows.h>

#include "foundation/kernel/DynamicObject.h"

class CMixerManager;
class CMixerVolumeControl;

class CMixer : public CDynamicObject {
  TWL_DECLARE_CLASS(CMixer)
 public:
  CMixer() = default;
  // Closes the device if it is still open and leaves the manager's table.
  ~CMixer() override;

  // Opens device `device` with its change notices going to `noticeWindow`.
  // False with the WinMM error.
  bool Open(CMixerManager& manager, INT device, HWND noticeWindow);
  // The control of the line of that type, with one reference for the
  // caller: the one handed out before, or a new one. False with the reason
  // in the thread error.
  bool GetVolumeControl(DWORD componentType, CMixerVolumeControl** control);
  // Unlinks a control; the device closes when none is left.
  void RemoveControl(CMixerVolumeControl* control);
  // Lets go of every control, whoever holds references to it: each line
  // gets its value back. The mixer itself goes with its last control.
  void ReleaseAllControls();

  HMIXER GetHandle() const { return m_Handle; }
  INT GetDevice() const { return m_Device; }
  CMixerVolumeControl* FindControl(DWORD controlId) const;

 private:
  CMixerVolumeControl* m_Controls = nullptr;
  CMixerManager* m_Manager = nullptr;
  INT m_Device = -1;
  HMIXER m_Handle = nullptr;
  bool m_Opened = false;
};

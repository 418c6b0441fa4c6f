// CMixerManager: the player system's mixer volume control. It opens mixer
// devices when a player first asks for a line's volume control, hands out
// the controls, and gives every line its value back when playback stops
// or ends and when the player system exits.
//
// One hidden message window, made by Init on the user-interface thread,
// receives the change notices of every open device; its loop delivers
// them, and the manager routes each by mixer handle and control id to its
// control. (A window made on a player's thread would never hear of them.)
//
// Threading: Init and Clear on the user-interface thread; GetVolumeControl
// and RestoreAllVolumes on any thread. Everything runs under the mixer
// lock.
#pragma once

#include <windows.h>

#include <vector>

#include "display/MessageWindow.h"
#include "foundation/kernel/TypedObject.h"
#include "playback/playersystem/PlayerSystemPeers.h"

class CMixer;
class CMixerVolumeControl;

class CMixerManager : public CTypedObject, public CPlayerMixer {
  TWL_DECLARE_CLASS(CMixerManager)
 public:
  CMixerManager() = default;
  ~CMixerManager() override { Clear(); }
  CMixerManager(const CMixerManager&) = delete;
  CMixerManager& operator=(const CMixerManager&) = delete;

  // As many table entries as there are mixer devices (none when the
  // notice window cannot be made; the reason is logged).
  void Init() override;
  // Releases every control (each line gets its value back), closes the
  // devices and the window, and empties the table.
  void Clear() override;
  // Tries device after device while the answer is "unavailable"; a
  // control of a device opened before comes with one more reference.
  // False with the reason in the thread error: miscellaneous error 8 when
  // no device has a volume control on such a line.
  bool GetVolumeControl(DWORD componentType, CMixerVolumeControl** control) override;
  void RestoreAllVolumes() override;

  // A mixer leaving (its destructor): its entry empties.
  void ForgetMixer(INT device, const CMixer* mixer);
  static void ReportError(MMRESULT result);

  INT GetDeviceCount() const { return m_DeviceCount; }
  HWND GetNoticeWindow() const { return m_NoticeWindow.GetWindowHandle(); }

 private:
  static void OnNotice(void* context, UINT message, WPARAM wParam, LPARAM lParam);
  void OnControlChange(HMIXER mixer, DWORD controlId);
  bool OpenDeviceControl(INT device, DWORD componentType, CMixerVolumeControl** control);
  void ReleaseAllControls();

  std::vector<CMixer*> m_Mixers;  // per device; null: not open. No references held.
  INT m_DeviceCount = 0;
  CMessageWindow m_NoticeWindow;
};

// The main window's tick and what it keeps current: the time, the bytes
// read and the caption, the bars and their tooltips, the title of the
// current entry and the button states. Every display compares with what it
// shows and does nothing when that is unchanged.
#include "app/core/System.h"
#include "app/ui/UserInterface.h"
#include "display/controls/DDButtons.h"
#include "display/controls/DDImageControls.h"
#include "display/controls/DDSurfaceText.h"
#include "display/controls/DDTextControls.h"
#include "display/state/DisplayLock.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Placeholder.h"
#include "playback/data/DataSystem.h"
#include "playback/playersystem/PlayerSystem.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "pluginhost/fileinfo/FileInfoRecord.h"
#include "pluginhost/fileinfo/InfoDataBases.h"
#include "windows/main/MainWindow.h"
#include "windows/main/MainWindowDisplays.h"

namespace {

constexpr DWORD kLogTimer = 256;

bool Due(uint32_t due, MainWindowSchedule::Duty duty) { return (due & (1u << duty)) != 0; }

}  // namespace

void CMainWindow::OnTick() {
  try {
    RunDuties(m_Schedule.Tick());
  } catch (CError* error) {
    const CStr description = error->GetCaption() + ": " + error->GetText();
    LogFormat(kLogTimer, "%s\n",
              ReplacePlaceholder(LocalText("CMainWindow.TimerError", "Error during timer (%ERRORDESC%)"),
                                 {"%ERRORDESC%", description})
                  .c_str());
    DisposeError(error);
  }
}

void CMainWindow::RunDuties(uint32_t due) {
  using Duty = MainWindowSchedule::Duty;
  if (Due(due, Duty::kBytesRead)) UpdateBytesRead();
  if (Due(due, Duty::kPosition)) UpdatePosition();
  if (Due(due, Duty::kProgressBar)) UpdateProgressBar();
  if (Due(due, Duty::kProgressTooltip)) UpdateProgressTooltip();
  if (Due(due, Duty::kInfoScroll)) PaintInfoPager();
  if (Due(due, Duty::kReplayMouse)) {
    POINT cursor{};
    GetCursorPos(&cursor);
    HWND under = WindowFromPoint(cursor);
    for (int index = 1; index < CUserInterface::kMainWindowCount; ++index) {
      CWindow* window = GetUserInterface().GetMainWindow(index);
      if (window && window->GetWindowHandle() && window->GetWindowHandle() != under)
        window->ReplayMouseMove(cursor.x, cursor.y);
    }
  }
  if (Due(due, Duty::kNewPlugIns)) GetSystem().LoadNewPlugIns();
  if (Due(due, Duty::kTooltipTiming)) GetTooltips().Poll();
  // Full-screen refresh and the folder poll join with their systems.
  NextAnimationFrame();
  if (Due(due, Duty::kTrayHover)) m_Tray.EndHoverIfAway();
  if (Due(due, Duty::kAuxWindows)) GetUserInterface().GetAuxWindowManager().UpdateAll();
  if (Due(due, Duty::kUpdateRetry))
    if (HWND messages = GetUserInterface().GetMessageWindowHandle())
      PostMessageA(messages, kRetryUpdateDialogMessage, 0, 0);
}

void CMainWindow::UpdateBytesRead() {
  const ULONGLONG bytes = GetDataSystem().GetSessionProgress(kPlayerSession);
  if (m_BytesReadKnown && bytes == m_LastBytesRead) return;
  m_BytesReadKnown = true;
  m_LastBytesRead = bytes;
  m_BytesReadText = maindisplay::BytesReadText(bytes);
  UpdateCaption();
}

void CMainWindow::UpdateCaption() {
  const CStr caption = maindisplay::CaptionText(m_BytesReadText);
  if (caption == m_CaptionText) return;
  m_CaptionText = caption;
  GetSystem().GetOwnerWindow().SetText(caption.c_str());
}

void CMainWindow::UpdatePosition() {
  DWORD position = 0;
  DWORD length = 0;
  GetPlayerSystem().GetPositionAndLength(position, length);
  if (position == m_LastPosition) return;
  m_LastPosition = position;
  UpdateTimeDisplay();
}

void CMainWindow::UpdateTimeDisplay() {
  const DWORD position = m_LastPosition == ~0u ? 0 : m_LastPosition;
  bool changed = false;
  auto show = [&](CDDLabel* label, const std::string& text) {
    if (!label || label->GetText() == text) return;
    label->SetText(text.c_str());
    InvalidateControl(label);
    changed = true;
  };
  if (m_SingleTimeField) {
    show(m_TimeFields[0], maindisplay::SingleTimeText(position));
  } else {
    const std::array<char, 5> chars = maindisplay::FiveTimeChars(position);
    for (size_t index = 0; index < chars.size(); ++index) show(m_TimeFields[index], std::string(1, chars[index]));
  }
  if (changed) PostMessageA(GetWindowHandle(), kWindowPaintDirtyMessage, 0, 0);
}

void CMainWindow::UpdateProgressBar() {
  if (!m_ProgressBar) return;
  DWORD position = 0;
  DWORD length = 0;
  GetPlayerSystem().GetPositionAndLength(position, length);
  if (length < position) length = position;
  if (position == m_LastProgressPosition && length == m_LastProgressLength) return;
  m_LastProgressPosition = position;
  m_LastProgressLength = length;
  const int value = maindisplay::ProgressBarValue(position, length, m_ProgressBar->GetMaximum());
  if (value == m_ProgressBar->GetValue()) return;
  m_ProgressBar->SetValue(value);
  InvalidateControl(m_ProgressBar);
  PostMessageA(GetWindowHandle(), kWindowPaintDirtyMessage, 0, 0);
}

void CMainWindow::UpdateProgressTooltip() {
  if (!m_ProgressTooltip) return;
  DWORD position = 0;
  DWORD length = 0;
  GetPlayerSystem().GetPositionAndLength(position, length);
  m_ProgressTooltip->SetText(maindisplay::ProgressTooltipText(position, length).c_str());
}

void CMainWindow::OnVolumeChanged() {
  const int volume = GetPlayerSystem().GetVolume();
  if (m_VolumeBar) {
    m_VolumeBar->SetValue(maindisplay::VolumeBarValue(volume, m_VolumeBar->GetMaximum()));
    InvalidateControl(m_VolumeBar);
    PostMessageA(GetWindowHandle(), kWindowPaintDirtyMessage, 0, 0);
  }
  UpdateVolumeTooltip();
}

void CMainWindow::UpdateVolumeTooltip() {
  if (!m_VolumeTooltip) return;
  m_VolumeTooltip->SetText(maindisplay::VolumeTooltipText(GetPlayerSystem().GetVolume()).c_str());
}

void CMainWindow::OnCurrentEntryChanged() {
  if (m_ProgressBar) m_ProgressBar->StopTracking();
  CPlayerSystem& players = GetPlayerSystem();
  const int number = players.GetCurrentEntryNumber();
  FileInfoRecord* info = players.GetCurrentFileObject();
  if (number == m_CurrentEntry && info == m_CurrentFileInfo) return;
  BindCurrentEntry(number, info);
  m_Schedule.SetInfoDelay(MainWindowSchedule::kEntryChangeDelay);
  if (CDDSurfaceText* field = GetInfoField()) field->Reset();
  UpdateTitle();
  UpdateBytesRead();
}

void CMainWindow::OnEntriesInserted() {
  const int number = GetPlayerSystem().GetCurrentEntryNumber();
  if (number == m_CurrentEntry) return;
  m_CurrentEntry = number;
  UpdateTitle();
}

void CMainWindow::OnEntriesRemoved() { OnEntriesInserted(); }

void CMainWindow::UpdateTitle() {
  CStr title;
  {
    CriticalSectionLock lock(GetFileInfoDataBase().GetLock());
    if (const FileInfoRecord* info = m_CurrentFileInfo) {
      const char* name = info->displayText && !info->displayText->empty() ? info->displayText->c_str() : info->name;
      const bool known = info->thirdValuePriority != 0 && info->thirdValue >= 0;
      title = maindisplay::EntryTitle(m_CurrentEntry, name ? name : "", info->typeText ? *info->typeText : "", known,
                                      known ? static_cast<DWORD>(info->thirdValue) : 0)
                  .c_str();
    }
  }
  if (title == m_TitleText) return;
  m_TitleText = title;
  if (CDDSurfaceText* field = GetInfoField()) {
    field->SetText(m_TitleText.c_str());
    InvalidateControl(field);
  }
}

void CMainWindow::UpdateLoopButton() { SetButtonChecked(kLoop, GetPlayerSystem().GetLoop()); }

void CMainWindow::UpdateShuffleButton() { SetButtonChecked(kShuffle, GetPlayerSystem().GetShuffle()); }

void CMainWindow::UpdatePauseButton() { SetButtonChecked(kPause, GetPlayerSystem().IsPaused()); }

void CMainWindow::UpdatePlayStateButtons() {
  UpdatePauseButton();
  const bool playing = GetPlayerSystem().IsPlaying();
  SetButtonDisabled(kPlay, playing);
  SetButtonDisabled(kStop, !playing);
  SetButtonDisabled(kPause, !playing);
}

void CMainWindow::SetButtonChecked(int index, bool checked) {
  auto* toggle = dynamic_cast<CDDToggleButton*>(GetButton(index));
  if (!toggle || (toggle->IsChecked() != 0) == checked) return;
  toggle->SetChecked(checked ? 1 : 0);
  InvalidateControl(toggle);
}

void CMainWindow::SetButtonDisabled(int index, bool disabled) {
  auto* button = dynamic_cast<CDDButtonBase*>(GetButton(index));
  if (!button || (button->IsDisabled() != 0) == disabled) return;
  button->SetDisabled(disabled ? 1 : 0);
  InvalidateControl(button);
}

void CMainWindow::InvalidateControl(CDDControl* control) {
  if (!control) return;
  const RECT rect = control->GetRect();
  InvalidateRect(&rect);
}

CDDControl* CMainWindow::GetButton(int index) const {
  return index >= 0 && index < kButtonCount ? m_Buttons[static_cast<size_t>(index)] : nullptr;
}

CDDLabel* CMainWindow::GetTimeField(int index) const {
  return index >= 0 && index < kTimeFieldCount ? m_TimeFields[static_cast<size_t>(index)] : nullptr;
}

CDDSurfaceText* CMainWindow::GetInfoField() const { return static_cast<CDDSurfaceText*>(m_InfoField); }

int CMainWindow::OnControlEvent(int type, CDDControl* control, void* data) {
  if (control == m_ProgressBar || control == m_VolumeBar) {
    if ((type == DDN_TRACK_BEGIN || type == DDN_TRACK_MOVE) && data)
      OnBarEvent(type, static_cast<CDDImageControl*>(control), *static_cast<const POINT*>(data));
    if (type == DDN_TRACK_BEGIN || type == DDN_TRACK_MOVE || type == DDN_TRACK_END) return 1;
  }
  const int id = control ? control->GetId() : -1;
  if (type >= DDN_PRESSED && type <= DDN_LEAVE && id >= 0 && id < kButtonCount &&
      m_ButtonAnimated[static_cast<size_t>(id)]) {
    DisplayLockScope lock;
    m_ButtonRefreshPending = true;
  }
  return CWindow::OnControlEvent(type, control, data);
}

void CMainWindow::OnBarEvent(int type, CDDImageControl* bar, const POINT& point) {
  const int value = bar->ValueAt(point.x, point.y);
  const int range = bar->GetMaximum();
  if (bar == m_ProgressBar) {
    DWORD length = m_LastProgressLength;
    if (length == ~0u) {
      // The bar was never updated: the length as it is now.
      DWORD position = 0;
      GetPlayerSystem().GetPositionAndLength(position, length);
    }
    if (value != bar->GetValue()) GetPlayerSystem().Seek(maindisplay::SeekTarget(value, length, range));
    if (type == DDN_TRACK_MOVE) UpdateProgressTooltip();
    return;
  }
  GetPlayerSystem().SetVolume(maindisplay::VolumeFromBar(value, range));
}

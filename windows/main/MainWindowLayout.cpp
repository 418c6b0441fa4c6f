// From the skin to the window: the size and shape of the current mode, the
// buttons, time fields, bars and info field built from its description,
// the tooltips, the move area, and the mode changes with their places.
#include <memory>

#include "app/ui/UserInterface.h"
#include "display/controls/DDBitmapButtons.h"
#include "display/controls/DDButtons.h"
#include "display/controls/DDImageControls.h"
#include "display/controls/DDSurfaceText.h"
#include "display/controls/DDTextControls.h"
#include "display/masks/RegionCreator.h"
#include "display/skinrender/DDSkin.h"
#include "display/skinrender/DDWriter.h"
#include "display/state/DisplayLock.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "playback/playersystem/PlayerSystem.h"
#include "skins/mainwindow/MainWindowSkin.h"
#include "skins/masks/Mask.h"
#include "windows/main/MainWindow.h"
#include "windows/main/MainWindowDisplays.h"

namespace {

// Region, control and bar failures: the window goes on without the piece.
constexpr DWORD kLogLayout = 768;
constexpr bool IsToggle(int index) {
  return index == CMainWindow::kPause || index == CMainWindow::kLoop || index == CMainWindow::kShuffle;
}

// A mask's bytes when it has the rectangle's size, else none (the whole
// rectangle then takes input).
const BYTE* MaskBytes(const CMask* mask, const RECT& rect) {
  if (!mask || mask->GetWidth() != rect.right - rect.left || mask->GetHeight() != rect.bottom - rect.top)
    return nullptr;
  return mask->GetBytes();
}

HOST_WRITER Writer(CDDWriter* writer) { return reinterpret_cast<HOST_WRITER>(writer); }

bool IsEmptyRect(const RECT& rect) { return rect.left == 0 && rect.top == 0 && rect.right == 0 && rect.bottom == 0; }

// Keeps the built control in the window's list, or drops it.
template <class Control>
Control* Keep(CDDControlList& controls, std::unique_ptr<Control> control, int created) {
  if (!created) return nullptr;
  controls.Add(control.get());
  return control.release();
}

}  // namespace

void CMainWindow::ApplySkin() {
  if (!GetWindowHandle()) return;
  {
    DisplayLockScope lock;
    CDDSkin& ddskin = GetUserInterface().GetDDSkin();
    CDDMainWindowSkin& skin = ddskin.GetMainWindowSkin(m_Mode);
    if (ddskin.IsLoaded()) {
      const SIZE size = skin.GetSize();
      if (size.cx != GetWidth() || size.cy != GetHeight()) SetSize(size.cx, size.cy);
      ApplyRegion(skin);
    }
    m_ButtonRefreshPending = false;
    CreateButtons(skin);
    CreateTimeFields(skin);
    CreateBars(skin);
    CreateInfoField(skin);
    CDDBitmapAnimation& animation = skin.GetAnimation();
    const INT frames = animation.GetFrameCount();
    m_AnimationRunning = frames > 0;
    if (m_AnimationRunning) m_NextFrameTime = timeGetTime() + static_cast<DWORD>(animation.GetFrameDelay(frames - 1));
    BuildTooltips(skin);
  }
  m_SkinApplied = true;
  StartTicks(MainWindowSchedule::kTickInterval);
  UpdateOnTop();
  InvalidateRect(nullptr);
}

void CMainWindow::ApplyRegion(CDDMainWindowSkin& skin) {
  HRGN region = nullptr;
  CMask* mask = skin.GetMask(CMainWindowSkin::kWindowMask);
  if (!mask) return;
  if (!CreateRegionFromMask(&region, mask)) {
    LogThreadError(kLogLayout, LocalText("RegionError.CreateRegionFromMask",
                                         "Unable to create window region. Window will be rectangular.")
                                   .c_str());
    return;
  }
  // The window owns the region from here on; a copy stays for hit tests.
  m_Region = CreateRectRgn(0, 0, 0, 0);
  if (m_Region) CombineRgn(m_Region, region, nullptr, RGN_COPY);
  SetWindowRgn(GetWindowHandle(), region, TRUE);
}

void CMainWindow::CreateButtons(CDDMainWindowSkin& skin) {
  CDDBitmapAnimation& animation = skin.GetAnimation();
  const INT frameCount = animation.GetFrameCount();
  m_FrameTargets.clear();
  for (INT frame = 0; frame < frameCount; ++frame) m_FrameTargets.push_back(animation.GetFrameSurface(frame));
  for (int index = 0; index < kButtonCount; ++index) {
    const size_t at = static_cast<size_t>(index);
    m_Buttons[at] = nullptr;
    m_ButtonAnimated[at] = false;
    CDDAnimButtonSkin* animated = skin.GetAnimButton(index);
    CDDButtonSkin* plain = skin.GetButton(index);
    if (animated && animated->IsCreated() && animated->GetSurface(0) && animated->GetSurface(1) &&
        animated->GetSurface(2)) {
      IDirectDrawSurface2* const pictures[3] = {animated->GetSurface(0), animated->GetSurface(1),
                                                animated->GetSurface(2)};
      const RECT rect = animated->GetRect();
      const BYTE* mask = MaskBytes(animated->GetMask(), rect);
      const int targets = static_cast<int>(m_FrameTargets.size());
      if (IsToggle(index)) {
        auto box = std::make_unique<CDDBitmapCheckBox>();
        const int created = box->Create(index, &ControlCallback, this, rect, mask, pictures, targets);
        if (created && !m_AnimationEnabled) box->SetMode(0);
        m_Buttons[at] = Keep(GetControls(), std::move(box), created);
      } else {
        auto button = std::make_unique<CDDBitmapButton>();
        const int created = button->Create(index, &ControlCallback, this, rect, mask, pictures, targets);
        if (created && !m_AnimationEnabled) button->SetMode(0);
        m_Buttons[at] = Keep(GetControls(), std::move(button), created);
      }
      m_ButtonAnimated[at] = m_Buttons[at] != nullptr;
      continue;
    }
    if (!plain || !plain->IsCreated()) continue;
    IDirectDrawSurface2* const pictures[4] = {plain->GetSurface(0), plain->GetSurface(1), plain->GetSurface(2),
                                              plain->GetSurface(3)};
    if (!pictures[0] || !pictures[1] || !pictures[2] || !pictures[3]) continue;
    const RECT rect = plain->GetRect();
    const BYTE* mask = MaskBytes(plain->GetMask(), rect);
    if (IsToggle(index)) {
      auto box = std::make_unique<CDDSurfaceToggleButton>();
      const int created = box->Create(index, &ControlCallback, this, rect, mask, pictures);
      m_Buttons[at] = Keep(GetControls(), std::move(box), created);
    } else {
      auto button = std::make_unique<CDDSurfacePushButton>();
      const int created = button->Create(index, &ControlCallback, this, rect, mask, pictures);
      m_Buttons[at] = Keep(GetControls(), std::move(button), created);
    }
  }
  SetInitialButtonStates();
}

void CMainWindow::SetInitialButtonStates() {
  CPlayerSystem& players = GetPlayerSystem();
  SetButtonChecked(kPause, players.IsPaused());
  SetButtonChecked(kLoop, players.GetLoop());
  SetButtonChecked(kShuffle, players.GetShuffle());
  const bool playing = players.IsPlaying();
  SetButtonDisabled(kPlay, playing);
  SetButtonDisabled(kStop, !playing);
  SetButtonDisabled(kPause, !playing);
}

void CMainWindow::CreateTimeFields(CDDMainWindowSkin& skin) {
  CDDSkin& ddskin = GetUserInterface().GetDDSkin();
  m_TimeFields.fill(nullptr);
  m_SingleTimeField = false;
  auto makeField = [&](int index) {
    const RECT rect = skin.GetAreaRect(CMainWindowSkin::kTime1 + index);
    auto label = std::make_unique<CDDLabel>();
    label->SetAlignment(CDDLabel::kCentre);
    const int created =
        label->Create(kTimeFieldId + index, &ControlCallback, this, rect, Writer(skin.GetFont(1 + index, ddskin)), "");
    if (!created) LogThreadError(kLogLayout, nullptr);
    m_TimeFields[static_cast<size_t>(index)] = Keep(GetControls(), std::move(label), created);
  };
  if (IsEmptyRect(skin.GetAreaRect(CMainWindowSkin::kTime1))) return;
  makeField(0);
  m_SingleTimeField = true;
  if (!IsEmptyRect(skin.GetAreaRect(CMainWindowSkin::kTime1 + 1))) {
    m_SingleTimeField = false;
    for (int index = 1; index < kTimeFieldCount; ++index) makeField(index);
  }
  m_LastPosition = ~0u;
  UpdatePosition();
}

void CMainWindow::CreateBars(CDDMainWindowSkin& skin) {
  for (int index = 0; index < CMainWindowSkin::kBarCount; ++index) {
    CDDImageControl*& bar = index == CMainWindowSkin::kPositionBar ? m_ProgressBar : m_VolumeBar;
    bar = nullptr;
    CDDBarSkin* description = skin.GetBar(index);
    if (!description || !description->IsCreated()) continue;
    const int id = index == CMainWindowSkin::kPositionBar ? kProgressBarId : kVolumeBarId;
    const RECT rect = description->GetRect();
    const BYTE* mask = MaskBytes(description->GetMask(), rect);
    int created = 0;
    if (description->GetBarData() && description->GetBitmap()) {
      auto slider = std::make_unique<CDDSlider>();
      created = slider->Create(id, &ControlCallback, this, rect, mask, description->GetBarData(),
                               description->GetBitmap(), 0);
      bar = Keep(GetControls(), std::move(slider), created);
    } else if (description->GetSurface()) {
      int range = rect.right - rect.left;
      if (index == CMainWindowSkin::kVolumeBar && range > 256) range = 256;
      auto image = std::make_unique<CDDTrackingImage>();
      created = image->Create(id, &ControlCallback, this, rect, mask, description->GetSurface(), range, 0);
      bar = Keep(GetControls(), std::move(image), created);
    }
    if (!bar) LogThreadError(kLogLayout, nullptr);
  }
  m_LastProgressPosition = m_LastProgressLength = ~0u;
  UpdateProgressBar();
  if (m_VolumeBar) m_VolumeBar->SetValue(maindisplay::VolumeBarValue(GetPlayerSystem().GetVolume(),
                                                                      m_VolumeBar->GetMaximum()));
}

void CMainWindow::CreateInfoField(CDDMainWindowSkin& skin) {
  m_InfoField = nullptr;
  const RECT rect = skin.GetAreaRect(CMainWindowSkin::kInfo);
  CDDWriter* font = skin.GetOwnFont(0);
  if (IsEmptyRect(rect) || !font) return;
  const INT cellWidth = font->GetCharWidth(font->GetGlyphCount() > 112 ? 112 : 0);
  auto field = std::make_unique<CDDSurfaceText>();
  const int created = field->Create(kInfoFieldId, &ControlCallback, this, rect, Writer(font),
                                    skin.GetAnimation().GetBaseSurface(), skin.GetInfoCursorColor(), 3, cellWidth,
                                    5, m_TitleText.c_str());
  if (!created) LogThreadError(kLogLayout, nullptr);
  m_InfoField = Keep(GetControls(), std::move(field), created);
  m_Schedule.SetInfoDelay(MainWindowSchedule::kFieldCreatedDelay);
}

void CMainWindow::ReleaseSkin() {
  StopTicks();
  GetTooltips().RemoveAll();
  m_VolumeTooltip = m_ProgressTooltip = nullptr;
  m_AnimationFrame = -1;
  m_AnimationRunning = false;
  m_ButtonRefreshPending = false;
  GetControls().DestroyAll(true);
  m_Buttons.fill(nullptr);
  m_ButtonAnimated.fill(false);
  m_TimeFields.fill(nullptr);
  m_InfoField = nullptr;
  m_ProgressBar = m_VolumeBar = nullptr;
  m_FrameTargets.clear();
  if (GetWindowHandle() && m_Region) SetWindowRgn(GetWindowHandle(), nullptr, TRUE);
  if (m_Region) DeleteObject(m_Region);
  m_Region = nullptr;
  m_SkinApplied = false;
}

void CMainWindow::OnSkinChange(int phase) {
  switch (phase) {
    case 0: ReleaseSkin(); break;
    case 1: ApplySkin(); break;
    case 2:
      StoreWindowRect(RectNameOf(m_Mode), nullptr);
      ReleaseSkin();
      break;
    case 3: ApplyMode(GetUserInterface().GetMode()); break;
    default: break;
  }
}

void CMainWindow::ApplyMode(int mode) {
  const int before = m_Mode;
  m_Mode = mode;
  ApplySkin();
  // Normal and small share a place; mini has its own.
  if ((before == 2) == (m_Mode == 2)) return;
  RECT place{};
  LoadWindowRect(&place, RectNameOf(m_Mode), GetWidth(), GetHeight(), nullptr, 0, 0);
  place.right = place.left + GetWidth();
  place.bottom = place.top + GetHeight();
  SetRect(place);
}

bool CMainWindow::IsMoveArea(int x, int y) {
  DisplayLockScope lock;
  CDDMainWindowSkin& skin = GetUserInterface().GetDDSkin().GetMainWindowSkin(m_Mode);
  const RECT drag = skin.GetAreaRect(CMainWindowSkin::kDragArea);
  if (!IsEmptyRect(drag)) {
    if (x < drag.left || x >= drag.right || y < drag.top || y >= drag.bottom) return false;
    const CMask* mask = skin.GetMask(CMainWindowSkin::kDragMask);
    if (!mask || !mask->GetBytes()) return true;
    const int mx = x - drag.left, my = y - drag.top;
    if (mx >= mask->GetWidth() || my >= mask->GetHeight()) return false;
    return mask->GetBytes()[static_cast<size_t>(my) * static_cast<size_t>(mask->GetWidth()) +
                            static_cast<size_t>(mx)] != 0;
  }
  for (CDDControl* button : m_Buttons)
    if (button && button->HitTestInput(x, y)) return false;
  for (CDDControl* bar : {static_cast<CDDControl*>(m_ProgressBar), static_cast<CDDControl*>(m_VolumeBar)})
    if (bar && bar->HitTestInput(x, y)) return false;
  return true;
}

void CMainWindow::EnableAnimation(bool enable) {
  if (enable == m_AnimationEnabled) return;
  m_AnimationEnabled = enable;
  for (int index = 0; index < kButtonCount; ++index) {
    CDDControl* button = m_Buttons[static_cast<size_t>(index)];
    if (!button || !m_ButtonAnimated[static_cast<size_t>(index)]) continue;
    if (IsToggle(index))
      static_cast<CDDBitmapCheckBox*>(button)->SetMode(enable ? 1 : 0);
    else
      static_cast<CDDBitmapButton*>(button)->SetMode(enable ? 1 : 0);
  }
  if (!enable) {
    m_AnimationFrame = -1;
    InvalidateRect(nullptr);
  }
}

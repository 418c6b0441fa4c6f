#include "display/skinrender/DDMainWindowSkin.h"

#include "display/skinrender/DDSkin.h"
#include "display/skinrender/DDWriter.h"
#include "display/state/DisplayLock.h"
#include "display/state/DisplayState.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "skins/mainwindow/MainWindowSkin.h"
#include "skins/masks/Mask.h"
#include "skins/sets/SkinColorSet.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CDDMainWindowSkin, CDDSkinBase)

static_assert(CDDMainWindowSkin::kAreaCount == CMainWindowSkin::kAreaCount);
static_assert(CDDMainWindowSkin::kButtonCount == CMainWindowSkin::kButtonCount);
static_assert(CDDMainWindowSkin::kFontCount == CMainWindowSkin::kFontCount);

void CDDMainWindowSkin::Release() noexcept {
  for (RECT& area : m_Areas) area = RECT{};
  for (CMask*& mask : m_Masks) {
    delete mask;
    mask = nullptr;
  }
  for (CDDWriter*& writer : m_Writers) {
    delete writer;
    writer = nullptr;
  }
  m_Background.Release();
  m_Width = m_Height = 0;
  for (CDDButtonSkin& button : m_Buttons) button.Release();
  for (CDDAnimButtonSkin& button : m_AnimButtons) button.Release();
  for (CDDBarSkin& bar : m_Bars) bar.Release();
  m_InfoCursorColor = m_InfoCursorPixel = 0;
  m_ControlWindowHook = POINT{};
  m_ControlWindowDisplacement = 0;
}

HRESULT CDDMainWindowSkin::Create(CMainWindowSkin& description, const CSkinColorSet& colors) {
  Release();
  m_ControlWindowHook = description.GetControlWindowHook();
  m_ControlWindowDisplacement = description.GetControlWindowDisplacement();
  m_InfoCursorColor = description.GetInfoCursorColor();
  if (m_InfoCursorColor == CMainWindowSkin::kNoCursorColor) m_InfoCursorColor = colors.m_Colors[kInfoCursorColor];
  {
    DisplayLockScope lock;
    const CDisplayState* display = CDisplayState::GetCurrent();
    m_InfoCursorPixel = display ? display->ConvertColor(m_InfoCursorColor) : 0;
  }
  for (int index = 0; index < kAreaCount; ++index) m_Areas[index] = description.GetAreaRect(index);
  for (int index = 0; index < 2; ++index) {
    m_Masks[index] = description.GetMask(index);
    description.SetMask(index, nullptr);
  }
  return BuildOrRelease(*this, [&]() -> HRESULT { return CreateElements(description); });
}

HRESULT CDDMainWindowSkin::CreateElements(CMainWindowSkin& description) {
  for (int index = 0; index < kFontCount; ++index)
    if (HRESULT result = CreateWriter(description.GetFont(index), m_Writers[index]); FAILED(result)) return result;
  CBitmapAnimation& animation = description.GetAnimation();
  if (const CDIBitmap* base = animation.GetBase()) {
    m_Width = static_cast<LONG>(base->GetWidth());
    m_Height = static_cast<LONG>(base->GetHeight());
  }
  if (HRESULT result = m_Background.Create(animation); FAILED(result)) return result;
  for (int index = 0; index < kButtonCount; ++index) {
    if (HRESULT result = m_Buttons[index].Create(description.GetButton(index)); FAILED(result)) return result;
    if (HRESULT result = m_AnimButtons[index].Create(description.GetAnimButton(index)); FAILED(result)) return result;
  }
  const INT steps[kBarCount] = {CDDBarSkin::kPositionSteps, CDDBarSkin::kVolumeSteps};
  for (int index = 0; index < kBarCount; ++index)
    if (HRESULT result = m_Bars[index].Create(description.GetBar(index), steps[index]); FAILED(result)) return result;
  return DD_OK;
}

RECT CDDMainWindowSkin::GetAreaRect(int index) const {
  return index >= 0 && index < kAreaCount ? m_Areas[index] : RECT{};
}

CMask* CDDMainWindowSkin::GetMask(int index) const { return index == 0 || index == 1 ? m_Masks[index] : nullptr; }

CDDWriter* CDDMainWindowSkin::GetOwnFont(int index) const {
  return index >= 0 && index < kFontCount ? m_Writers[index] : nullptr;
}

CDDWriter* CDDMainWindowSkin::GetFont(int index, const CDDSkin& skin) const {
  if (index < 0 || index >= kFontCount) return nullptr;
  if (m_Writers[index]) return m_Writers[index];
  if (index >= 2 && m_Writers[1]) return m_Writers[1];
  return skin.GetFontSet().GetFont(0);
}

CDDButtonSkin* CDDMainWindowSkin::GetButton(int index) {
  return index >= 0 && index < kButtonCount ? &m_Buttons[index] : nullptr;
}

CDDAnimButtonSkin* CDDMainWindowSkin::GetAnimButton(int index) {
  return index >= 0 && index < kButtonCount ? &m_AnimButtons[index] : nullptr;
}

CDDBarSkin* CDDMainWindowSkin::GetBar(int index) { return index >= 0 && index < kBarCount ? &m_Bars[index] : nullptr; }

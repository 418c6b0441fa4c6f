// Button renderers: a push button (CDDButtonSkin: Normal, Hover, Down,
// Disabled) and an animated button (CDDAnimButtonSkin: Hover, Down,
// Disabled) as one surface per state, transparent where the button's mask
// is 0, with the button's rectangle and mask, which the renderer takes
// over from the description. Built on the user-interface thread, read
// under the display lock.
#pragma once

#include <windows.h>

#include "display/skinrender/DDSkinBase.h"

class CButtonSkinBase;
class CMask;

class CDDButtonSkinBase : public CDDSkinBase {
 public:
  CDDButtonSkinBase(const CDDButtonSkinBase&) = delete;
  CDDButtonSkinBase& operator=(const CDDButtonSkinBase&) = delete;
  ~CDDButtonSkinBase() override;

  // An undefined description gives 0 and leaves the renderer not created.
  // The first failing surface releases everything and is returned.
  HRESULT Create(CButtonSkinBase& description);
  void Release() noexcept;
  bool IsCreated() const { return m_Created; }
  RECT GetRect() const { return m_Rect; }
  CMask* GetMask() const { return m_Mask; }
  int GetStateCount() const { return m_StateCount; }
  // Null for a missing state or an index outside the states.
  IDirectDrawSurface2* GetSurface(int state) const;
  SIZE GetStateSize(int state) const;

 protected:
  explicit CDDButtonSkinBase(int stateCount) noexcept : m_StateCount(stateCount) {}

 private:
  static constexpr int kMaxStates = 4;
  RECT m_Rect{};
  CMask* m_Mask = nullptr;
  IDirectDrawSurface2* m_Surfaces[kMaxStates] = {};
  SIZE m_Sizes[kMaxStates] = {};
  bool m_Created = false;
  int m_StateCount;
};

class CDDButtonSkin : public CDDButtonSkinBase {
  TWL_DECLARE_CLASS(CDDButtonSkin)
 public:
  CDDButtonSkin() noexcept : CDDButtonSkinBase(4) {}
};

class CDDAnimButtonSkin : public CDDButtonSkinBase {
  TWL_DECLARE_CLASS(CDDAnimButtonSkin)
 public:
  CDDAnimButtonSkin() noexcept : CDDButtonSkinBase(3) {}
};

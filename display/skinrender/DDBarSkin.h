// CDDBarSkin: a position or volume bar. A bar with a script keeps its
// picture in memory in the display format together with the bar data
// sampled from the script (the slider cuts and fills it per position); a
// bar without one keeps the picture as a surface, transparent where the
// mask is 0. Either way the rectangle and the mask are taken over from
// the description, and a scripted bar's picture too. Built on the
// user-interface thread, read under the display lock.
#pragma once

#include <windows.h>

#include "display/skinrender/DDSkinBase.h"

class CBarData;
class CBarSkin;
class CDIBitmap;
class CMask;

class CDDBarSkin : public CDDSkinBase {
  TWL_DECLARE_CLASS(CDDBarSkin)
 public:
  // Positions along the path of the position and of the volume bar.
  static constexpr INT kPositionSteps = 500;
  static constexpr INT kVolumeSteps = 256;

  CDDBarSkin() noexcept = default;
  CDDBarSkin(const CDDBarSkin&) = delete;
  CDDBarSkin& operator=(const CDDBarSkin&) = delete;
  ~CDDBarSkin() override { Release(); }

  // An undefined description gives 0 and leaves the renderer not created.
  HRESULT Create(CBarSkin& description, INT steps);
  void Release() noexcept;
  bool IsCreated() const { return m_Created; }
  RECT GetRect() const { return m_Rect; }
  CMask* GetMask() const { return m_Mask; }
  SIZE GetPictureSize() const { return m_PictureSize; }
  CBarData* GetBarData() const { return m_BarData; }
  IDirectDrawSurface2* GetSurface() const { return m_Surface; }
  CDIBitmap* GetBitmap() const { return m_Bitmap; }

 private:
  void CreateScripted(CBarSkin& description, INT steps);

  RECT m_Rect{};
  CMask* m_Mask = nullptr;
  SIZE m_PictureSize{};
  CBarData* m_BarData = nullptr;
  IDirectDrawSurface2* m_Surface = nullptr;
  CDIBitmap* m_Bitmap = nullptr;
  bool m_Created = false;
};

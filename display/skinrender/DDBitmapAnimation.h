// CDDBitmapAnimation: a window's animated background as surfaces: the
// base picture, and the prepared change frames (each transparent where it
// leaves the picture alone) with their display times in milliseconds.
// Drawn in order over one another they play the animation, the last one
// bringing the base back. Built on the user-interface thread, read under
// the display lock.
#pragma once

#include <memory>

#include <windows.h>

#include "display/skinrender/DDSkinBase.h"

class CBitmapAnimation;

class CDDBitmapAnimation : public CDDSkinBase {
  TWL_DECLARE_CLASS(CDDBitmapAnimation)
 public:
  CDDBitmapAnimation() noexcept = default;
  CDDBitmapAnimation(const CDDBitmapAnimation&) = delete;
  CDDBitmapAnimation& operator=(const CDDBitmapAnimation&) = delete;
  ~CDDBitmapAnimation() override { Release(); }

  // Prepares the description (a fault there gives E_FAIL) and makes the
  // surfaces; any failure releases everything and is returned.
  HRESULT Create(CBitmapAnimation& description);
  void Release() noexcept;
  IDirectDrawSurface2* GetBaseSurface() const { return m_Base; }
  INT GetFrameCount() const { return m_FrameCount; }
  // Null or 0 for an index outside the frames.
  IDirectDrawSurface2* GetFrameSurface(INT index) const;
  INT GetFrameDelay(INT index) const;

 private:
  HRESULT CreateSurfaces(CBitmapAnimation& description);

  IDirectDrawSurface2* m_Base = nullptr;
  INT m_FrameCount = 0;
  std::unique_ptr<IDirectDrawSurface2*[]> m_Frames;
  std::unique_ptr<INT[]> m_Delays;
};

// Image buttons for animated skins: instead of being drawn into the tiles,
// they paint their hover, pressed and disabled pictures straight into the
// window's own skin surfaces (the targets, one per animation frame), and
// save what lay under them first, so that going back to normal puts
// exactly those pixels back. The owner paints all its image buttons in
// three passes over the targets: ResetState on every button, then
// SaveBackgroundIfNeeded, then UpdateState. In mode 0 they draw into the
// tiles like the picture buttons.
//
// User-interface thread.
#pragma once

#include <windows.h>

#include <vector>

#include "display/controls/DDButtons.h"

// The pictures and saved backgrounds of one image button.
class DDTargetPainter {
 public:
  DDTargetPainter() = default;
  DDTargetPainter(const DDTargetPainter&) = delete;
  DDTargetPainter& operator=(const DDTargetPainter&) = delete;
  ~DDTargetPainter() { Release(); }

  // Takes the three pictures (hover, pressed, disabled) and makes a saved
  // surface of the button's size per target; false when one cannot be made.
  bool Create(IDirectDrawSurface2* const pictures[3], int targetCount, int width, int height);
  void Release();

  int ResetState(IDirectDrawSurface2* const* targets, const RECT& rect);
  int SaveBackgroundIfNeeded(int state, IDirectDrawSurface2* const* targets, const RECT& rect);
  int UpdateState(int state, IDirectDrawSurface2* const* targets, const RECT& rect);
  // Mode 0: the state's picture into a tile.
  int DrawPicture(int state, IDirectDrawSurface2* surface, int x, int y, const RECT& rect) const;

  int GetPaintedState() const { return m_PaintedState; }
  bool IsBackgroundSaved() const { return m_Saved; }

 private:
  int SaveBackgrounds(IDirectDrawSurface2* const* targets, const RECT& rect);
  int RestoreBackgrounds(IDirectDrawSurface2* const* targets, const RECT& rect) const;

  IDirectDrawSurface2* m_Pictures[3] = {};
  DWORD m_Flags[3] = {};
  std::vector<IDirectDrawSurface2*> m_SavedBackgrounds;
  bool m_Saved = false;
  int m_PaintedState = -1;
};

class CDDBitmapButton : public CDDButtonBase {
 public:
  ~CDDBitmapButton() override;
  using CDDButtonBase::Create;
  // The control destroys itself and answers 0 when a saved surface cannot
  // be made.
  virtual int Create(int id, DDControlCallback callback, void* owner, const RECT& rect, const BYTE* hitMask,
                     IDirectDrawSurface2* const pictures[3], int targetCount);
  void Destroy() override;
  int DrawState(int state, IDirectDrawSurface2* surface, int x, int y, const RECT* clip) override;
  // 1: paint into the targets; 0: draw into the tiles.
  void SetMode(int mode) { m_Mode = mode; }
  int ResetState(IDirectDrawSurface2* const* targets) { return m_Painter.ResetState(targets, GetRect()); }
  int SaveBackgroundIfNeeded(IDirectDrawSurface2* const* targets) {
    return m_Painter.SaveBackgroundIfNeeded(GetState(), targets, GetRect());
  }
  int UpdateState(IDirectDrawSurface2* const* targets) { return m_Painter.UpdateState(GetState(), targets, GetRect()); }
  const DDTargetPainter& GetPainter() const { return m_Painter; }

 private:
  DDTargetPainter m_Painter;
  int m_Mode = 1;
};

// The same as a toggle: checked shows the pressed picture.
class CDDBitmapCheckBox : public CDDToggleButton {
 public:
  ~CDDBitmapCheckBox() override;
  using CDDButtonBase::Create;
  virtual int Create(int id, DDControlCallback callback, void* owner, const RECT& rect, const BYTE* hitMask,
                     IDirectDrawSurface2* const pictures[3], int targetCount);
  void Destroy() override;
  int DrawState(int state, IDirectDrawSurface2* surface, int x, int y, const RECT* clip) override;
  void SetMode(int mode) { m_Mode = mode; }
  int ResetState(IDirectDrawSurface2* const* targets) { return m_Painter.ResetState(targets, GetRect()); }
  int SaveBackgroundIfNeeded(IDirectDrawSurface2* const* targets) {
    return m_Painter.SaveBackgroundIfNeeded(GetState(), targets, GetRect());
  }
  int UpdateState(IDirectDrawSurface2* const* targets) { return m_Painter.UpdateState(GetState(), targets, GetRect()); }

 private:
  DDTargetPainter m_Painter;
  int m_Mode = 1;
};

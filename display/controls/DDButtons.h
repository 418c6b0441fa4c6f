// The button kinds of the surface-drawn controls. CDDButtonBase keeps the
// four states (0 normal, 1 hovered, 2 pressed, 3 disabled) and turns mouse
// and focus-key input into notifications: 5 and 6 as the pointer enters
// and leaves the active area, 3 at a press, 4 and then 2 (clicked) at a
// release over the button. Toggles (check boxes) keep a checked state and
// report a change of it: 3 when it becomes checked, 4 when unchecked, and 2
// after each click. The kinds differ in what they draw: a text on the
// skin's button fonts with a frame, or one picture per state.
//
// User-interface thread.
#pragma once

#include <windows.h>

#include <string>

#include "display/controls/DDControl.h"

class CDDButtonBase : public CDDControl {
 public:
  CDDButtonBase() = default;
  ~CDDButtonBase() override;

  // `hitMask`: one byte per pixel of the rectangle, row pitch its width,
  // non-zero where the button takes input; not owned (null: everywhere).
  virtual int Create(int id, DDControlCallback callback, void* owner, const RECT& rect, const BYTE* hitMask);
  virtual void SetDisabled(int disabled);
  virtual void OnClick() { Notify(DDN_CLICKED, nullptr); }
  virtual int DrawState(int state, IDirectDrawSurface2* surface, int x, int y, const RECT* clip) = 0;

  using CDDControl::Create;
  void Destroy() override;
  void OnMouseMove(int x, int y) override;
  void OnMouseDown(int button, int x, int y) override;
  void OnMouseUp(int button, int x, int y) override;
  int HitTestInput(int x, int y) const override;
  int Draw(IDirectDrawSurface2* surface, int x, int y, const RECT* clip) override;
  void SetFocus(int focused) override;
  void OnFocusKeyDown(int key, int repeatCount) override;
  void OnFocusKeyUp(int key) override;

  int IsDisabled() const { return m_Disabled; }
  int IsPressed() const { return m_Pressed; }
  int IsHovered() const { return m_Hover; }
  // 3 disabled, else 2 pressed, else 1 hovered, else 0.
  int GetState() const;

 protected:
  void Press(int data);
  void Release();
  void SetPressed(int pressed) { m_Pressed = pressed; }
  void SetHovered(int hover) { m_Hover = hover; }
  const BYTE* GetHitMask() const { return m_HitMask; }

 private:
  const BYTE* m_HitMask = nullptr;
  int m_Disabled = 0;
  int m_Pressed = 0;
  int m_Hover = 0;
};

class CDDToggleButton : public CDDButtonBase {
 public:
  ~CDDToggleButton() override;

  void Destroy() override;
  void OnMouseMove(int x, int y) override;
  void OnMouseDown(int button, int x, int y) override;
  void OnMouseUp(int button, int x, int y) override;
  void OnFocusKeyDown(int key, int repeatCount) override;
  void OnFocusKeyUp(int key) override;

  // Sets checked (and the pressed look) and reports 3 or 4, without a
  // repaint.
  void SetChecked(int checked);
  int IsChecked() const { return m_Checked; }

 private:
  bool IsActive() const { return IsVisible() && !IsDisabled(); }
  void BeginHold();
  void Toggle();

  int m_Checked = 0;
  int m_Held = 0;
};

// The look of a text button: a font per state, the text centred, a raised
// frame when hovered, a sunken one when pressed, and a focus frame.
struct DDTextButtonLook {
  HOST_WRITER fonts[4] = {};
  std::string text;
  DWORD light = 0;
  DWORD shadow = 0;
  DWORD focusColor = 0;

  // Shortens the text for good while it is wider than the button.
  int Draw(const CDDControl& button, int state, IDirectDrawSurface2* surface, int x, int y);
};

class CDDPushButton : public CDDButtonBase {
 public:
  using CDDButtonBase::Create;
  virtual int Create(int id, DDControlCallback callback, void* owner, const RECT& rect, const char* text,
                     const HOST_WRITER fonts[4], DWORD light, DWORD shadow, DWORD focusColor);
  int DrawState(int state, IDirectDrawSurface2* surface, int x, int y, const RECT* clip) override;
  const std::string& GetText() const { return m_Look.text; }

 private:
  DDTextButtonLook m_Look;
};

class CDDCheckBox : public CDDToggleButton {
 public:
  using CDDButtonBase::Create;
  virtual int Create(int id, DDControlCallback callback, void* owner, const RECT& rect, const char* text,
                     const HOST_WRITER fonts[4], DWORD light, DWORD shadow, DWORD focusColor);
  int DrawState(int state, IDirectDrawSurface2* surface, int x, int y, const RECT* clip) override;
  const std::string& GetText() const { return m_Look.text; }

 private:
  DDTextButtonLook m_Look;
};

// Four pictures in state order, each held with a reference and blitted
// whole onto the button, through its colour key when it has one.
class DDStatePictures {
 public:
  DDStatePictures() = default;
  DDStatePictures(const DDStatePictures&) = delete;
  DDStatePictures& operator=(const DDStatePictures&) = delete;
  ~DDStatePictures() { Release(); }

  void Take(IDirectDrawSurface2* const* pictures, int count);
  void Release();
  IDirectDrawSurface2* Get(int index) const { return m_Pictures[index]; }
  DWORD GetFlags(int index) const { return m_Flags[index]; }
  // Blits picture `index` (none: nothing) onto the rectangle moved by
  // (x, y); 0 on failure, reported.
  int Blit(int index, IDirectDrawSurface2* surface, int x, int y, const RECT& rect) const;

 private:
  IDirectDrawSurface2* m_Pictures[4] = {};
  DWORD m_Flags[4] = {};
};

class CDDSurfacePushButton : public CDDButtonBase {
 public:
  ~CDDSurfacePushButton() override;
  using CDDButtonBase::Create;
  virtual int Create(int id, DDControlCallback callback, void* owner, const RECT& rect, const BYTE* hitMask,
                     IDirectDrawSurface2* const pictures[4]);
  void Destroy() override;
  int DrawState(int state, IDirectDrawSurface2* surface, int x, int y, const RECT* clip) override;

 private:
  DDStatePictures m_Pictures;
};

class CDDSurfaceToggleButton : public CDDToggleButton {
 public:
  ~CDDSurfaceToggleButton() override;
  using CDDButtonBase::Create;
  virtual int Create(int id, DDControlCallback callback, void* owner, const RECT& rect, const BYTE* hitMask,
                     IDirectDrawSurface2* const pictures[4]);
  void Destroy() override;
  int DrawState(int state, IDirectDrawSurface2* surface, int x, int y, const RECT* clip) override;

 private:
  DDStatePictures m_Pictures;
};

// CAuxWindow: the base of the skinned secondary windows (playlist, file
// browser, skin browser, options, dialogs, plug-in windows). Its outline,
// frame and caption come from the current skin's nine-part aux window
// frame at any size; it is resized by dragging its border (size cursors
// show near the outline), moved by dragging any point without a control,
// colours its native child controls with the skin's colours, offers a
// "What's this?" menu for controls with an introduction page, and can run
// modally. Every created aux window is listed in the user interface's
// CAuxWindowManager.
//
// Threading: the user-interface thread. Skin data is read under the
// display lock; the colour lock guards only the colour map.
#pragma once

#include <windows.h>

#include "display/dragrect/DragRectWindow.h"
#include "display/window/Window.h"
#include "foundation/containers/DWORDMap.h"
#include "foundation/kernel/CriticalSection.h"

class CAuxWindow : public CWindow {
  TWL_DECLARE_CLASS(CAuxWindow)
 public:
  static constexpr char kClassName[] = "Velbrook Tunewell AuxWindow class";
  // Edge codes of the border hit test.
  enum Edge { kLeft, kTop, kRight, kBottom, kTopLeft, kTopRight, kBottomLeft, kBottomRight };
  // Cursor kinds: arrow, west-east, north-south, NW-SE, NE-SW.
  enum CursorKind { kArrowCursor, kSizeWECursor, kSizeNSCursor, kSizeNWSECursor, kSizeNESWCursor };
  // Control colour indices.
  enum ColorIndex { kControlColors, kEditColors, kListColors, kComboColors, kTreeColors, kColorCount };
  // Flag of a colour map entry: draw no frame around the child.
  static constexpr DWORD kNoFrame = 1;
  // The first command id of the "What's this?" items.
  static constexpr UINT kHelpCommandBase = 1024;

  CAuxWindow();
  ~CAuxWindow() override;

  void Create(const char* name, const char* caption, int x, int y, int width, int height, HWND parent,
              CWindowOwner* owner, bool resizable);

  // CWindow.
  void Destroy() override;
  void ReleaseResources() override { ReleaseSkin(0); }
  void SetSize(int width, int height) override;
  void SetRect(const RECT& rect) override;
  void OnSkinChange(int phase) override;
  void OnDestroy() override;
  void OnMouseMove(int x, int y) override;
  void OnMouseButtonDown(int button, int x, int y) override;
  void OnMouseButtonUp(int button, int x, int y) override;
  void OnSize(int width, int height) override;
  void OnMinimize(bool argument) override;
  void OnRestore() override;
  void OnCaptureChanged(HWND newCapture) override;
  void OnCommand(UINT notifyCode, UINT id, HWND control) override;
  HBRUSH OnCtlColorEdit(HWND control, HDC dc) override;
  HBRUSH OnCtlColorListBox(HWND control, HDC dc) override;
  void OnShowWindow(bool show, LPARAM status) override;
  bool BeginTile(IDirectDrawSurface2* backBuffer, int x, int y, const RECT& tile) override;
  bool DrawTile(IDirectDrawSurface2* backBuffer, int x, int y, const RECT& tile) override;
  bool IsMoveArea(int x, int y) override { return !HasControlAt(x, y); }

  // Appended operations.
  virtual void OpenModal();
  virtual void Update() {}
  virtual void ApplySkin();
  virtual void ReleaseSkin(int);
  // A surface-drawn control that takes input lies under the point, so a
  // press there belongs to it and does not drag the window.
  virtual bool HasControlAt(int x, int y) { return GetControls().FindInteractiveAt(x, y) != nullptr; }
  virtual int GetCursorAt(int x, int y);
  // The introduction page of the control under the point; -1 for none.
  virtual int GetHelpTopicAt(int x, int y) { return -1; }
  virtual int MapHelpControlId(int id) { return id; }

  int GetClientWidth() const { return GetWidth() - m_Margins[0] - m_Margins[2]; }
  int GetClientHeight() const { return GetHeight() - m_Margins[1] - m_Margins[3]; }
  // Raises the size to the minimum and to whole steps of a tiled centre;
  // true when it changed anything.
  bool AdjustSize(int& width, int& height) const;
  bool SetMinSize(int width, int height);
  bool SetMinClientSize(int width, int height);
  int GetMinWidth() const { return m_MinWidth; }
  int GetMinHeight() const { return m_MinHeight; }

  // Window and frame picture coordinates; false (thread error set) when
  // the skin has no aux window frame.
  bool ConvertCoordToUnstretched(int& x, int& y, int width, int height) const;
  bool ConvertCoordToStretched(int& x, int& y, int width, int height) const;
  bool IsTransparentAt(int x, int y) const;
  // Whether the point lies on the outline (a transparent pixel within the
  // border search depth) and, if so, which edge.
  bool HitTestBorder(int x, int y, int& edge) const;
  void UpdateCursor(int x, int y);
  int GetCursorKind() const { return m_CursorKind; }

  // Border resizing.
  void BeginSizing(int edge);
  void TrackSizing(int screenX, int screenY);
  void EndSizing();
  bool CancelSizing();
  bool IsSizing() const { return m_Sizing; }
  const RECT& GetSizingRect() const { return m_SizingRect; }

  // The window's byte mask from the frame masks (null: rectangular) and
  // the region made from it.
  bool CreateWindowMask(BYTE*& mask, int width, int height) const;
  void CreateWindowRegion();

  void SetControlColor(HWND child, int index, DWORD flags);
  void RemoveControlColor(HWND child);
  void ClearControlColors();
  int GetControlColorIndex(HWND child);
  void SetColorListBoxes(bool on) { m_ColorListBoxes = on; }
  COLORREF GetTextColor(int index) const { return m_TextColors[index]; }
  COLORREF GetBackgroundColor(int index) const { return m_BackColors[index]; }

  bool DrawFrame(IDirectDrawSurface2* surface, int x, int y, POINT origin, const RECT& rect, DWORD light,
                 DWORD shadow);
  bool DrawChildFrame(IDirectDrawSurface2* surface, int x, int y, POINT origin, HWND child, bool highlighted);

  // Modal running: DoModal shows the window, pumps messages until EndModal
  // or the end of the message loop, hides it and answers the result.
  int DoModal();
  int RunModalLoop();
  void EndModal(int result);
  bool IsModalRunning() const { return m_ModalRunning; }
  bool IsModalRegistered() const { return m_ModalRegistered; }

  bool ShowHelpMenu(int page, int x, int y);
  HMENU GetHelpMenu() const { return m_HelpMenu; }

  bool IsResizable() const { return m_Resizable; }
  bool IsSkinApplied() const { return m_SkinApplied; }
  int GetMargin(int index) const { return m_Margins[index]; }
  int GetHorizontalStep() const { return m_HorizontalStep; }
  int GetVerticalStep() const { return m_VerticalStep; }

 private:
  void SetCursorKind(int kind);
  void ConstrainSizingRect();
  HMENU CreateHelpMenu(int page);
  void DestroyHelpMenu();
  bool FrameParts(int (&widths)[3], int (&heights)[3]) const;

  HCURSOR m_Cursor = nullptr;
  int m_CursorKind = -1;
  bool m_Sizing = false;
  int m_SizingEdge = 0;
  RECT m_SizingRect{};
  CDragRectWindow m_SizingOutline;
  bool m_Resizable = false;
  bool m_ModalRegistered = false;
  int m_BorderSearchDepth = 5;
  int m_CornerZone = 15;
  int m_MinWidth = 10;
  int m_MinHeight = 10;
  int m_LeftPartWidth = 1;
  int m_RightPartWidth = 1;
  int m_HorizontalStep = 1;
  int m_TopPartHeight = 1;
  int m_BottomPartHeight = 1;
  int m_VerticalStep = 1;
  int m_Margins[4] = {};
  COLORREF m_TextColors[kColorCount];
  COLORREF m_BackColors[kColorCount];
  HBRUSH m_Brushes[kColorCount] = {};
  CDWORDMap m_ControlColors;
  CriticalSection m_ControlColorLock;
  bool m_ColorListBoxes = true;
  bool m_SkinApplied = false;
  bool m_SkinToReapply = false;
  bool m_ModalRunning = false;
  bool m_ModalEndRequested = false;
  int m_ModalResult = -1;
  HMENU m_HelpMenu = nullptr;
};

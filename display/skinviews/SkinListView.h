// CSkinListView: a "SysListView32" child of a skinned window in the skin's
// list colours, with the program's shared small-icon list. In report view
// its column header is subclassed so that the header's background and
// texts take the same colours. The owner calls UpdateColors again after a
// skin change, and SubclassHeader after it changed the view or columns in
// a way that replaced the header.
//
// Threading: the user-interface thread; the colours are read under the
// display lock.
#pragma once

#include <windows.h>

#include "foundation/kernel/TypedObject.h"
#include "twlwin/controls.h"

class CSkinListView : public CTypedObject {
  TWL_DECLARE_CLASS(CSkinListView)
 public:
  CSkinListView() noexcept = default;
  CSkinListView(const CSkinListView&) = delete;
  CSkinListView& operator=(const CSkinListView&) = delete;
  ~CSkinListView() override { Destroy(); }

  // `images` null: the program's shared small-icon list. False when the
  // list cannot be made (nothing is left made).
  bool Create(const char* name, DWORD style, int x, int y, int width, int height, HWND parent, UINT id,
              HIMAGELIST images);
  void Destroy();
  void UpdateColors();
  void SubclassHeader();
  void Unsubclass();

  HWND GetWindowHandle() const { return m_List; }
  HWND GetHeader() const { return m_Header; }
  HBRUSH GetBrush() const { return m_Brush; }
  COLORREF GetBackgroundColor() const { return m_BackgroundColor; }
  COLORREF GetTextColor() const { return m_TextColor; }

 private:
  static LRESULT CALLBACK ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK HeaderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT AnswerHeaderDraw(NMCUSTOMDRAW* draw) const;

  HWND m_List = nullptr;
  HWND m_Header = nullptr;
  WNDPROC m_PreviousListProc = nullptr;
  WNDPROC m_PreviousHeaderProc = nullptr;
  HBRUSH m_Brush = nullptr;
  COLORREF m_BackgroundColor = 0;
  COLORREF m_TextColor = 0;
  bool m_ReportView = false;
};

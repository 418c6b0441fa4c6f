// What the controls share: per-window state kept beside the window, the
// font a control draws with, and the ways a control talks to its parent
// (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*). A control's state is used on the
// control's thread; the maps themselves are thread-safe.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "twlwin/controls.h"

namespace twl::controls {

// State of one kind of control per window: made on first use, dropped at
// WM_NCDESTROY.
template <class T>
class StateMap {
 public:
  std::shared_ptr<T> Get(HWND window) {
    std::lock_guard guard(lock_);
    auto& slot = states_[window];
    if (!slot) slot = std::make_shared<T>();
    return slot;
  }
  void Drop(HWND window) {
    std::lock_guard guard(lock_);
    states_.erase(window);
  }

 private:
  std::mutex lock_;
  std::unordered_map<HWND, std::shared_ptr<T>> states_;
};

// The font WM_SETFONT gave, or the default GUI font.
HFONT FontOr(HFONT font);

// WM_COMMAND to the parent with the control's id and `code`.
void SendCommand(HWND control, WORD code);
// WM_NOTIFY to the parent; fills in the header and returns the answer.
LRESULT SendNotify(HWND control, NMHDR* header, UINT code);
// Asks the parent for the control's colours with `message` (one of the
// WM_CTLCOLOR* messages); null when the parent leaves them to the default.
HBRUSH ParentBrush(HWND control, HDC dc, UINT message);

// Copies a text into a caller's buffer of `size` bytes, cut to fit and
// ended by a zero; nothing without a buffer.
void CopyText(const std::string& text, LPSTR buffer, int size);
// The colour, or the system colour while it is CLR_DEFAULT.
COLORREF ColourOr(COLORREF colour, int systemColour);
// Measured on the window's device context in the font (null: the
// default): a text's width (0 when it cannot be measured) and a line's
// height (16 when it cannot be measured).
int TextWidthIn(HWND window, HFONT font, const char* text);
int LineHeightIn(HWND window, HFONT font);

// Text of the window as DefWindowProc keeps it.
std::string WindowText(HWND window);

// Fills with a brush value that may be a system colour (COLOR_x + 1).
void Fill(HDC dc, const RECT& rect, HBRUSH brush);
void FillColour(HDC dc, const RECT& rect, COLORREF colour);
void Frame(HDC dc, const RECT& rect, COLORREF colour);

// Draws the border of a control whose style gives it one (WS_BORDER,
// WS_EX_CLIENTEDGE): a thin grey line around the window.
void PaintBorder(HWND window);

}  // namespace twl::controls

// CAuxMessageBox: the skinned message box. An aux window that is not
// resized, holding word-wrapped text, an optional system icon and rows of
// push buttons in the current skin's fonts and colours; it sizes itself to
// what it holds and centres itself over its parent. DoModal answers the
// index of the chosen button.
//
// AuxMessageBox is the program's MessageBox: the same type flags and result
// codes; when the skinned box cannot be made it falls back to MessageBoxA.
//
// Nobody may be there to answer (no desktop, no presenter): then the box
// takes the platform's scripted answer, else its default button, with its
// text logged, instead of waiting (see TwlAnswerUnseenBox); the answer
// still arrives through the box's modal loop, so what that loop takes
// before it (a WM_QUIT) counts as usual.
//
// Threading: the user-interface thread.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "display/auxwindow/AuxWindow.h"

class CAuxMessageBox : public CAuxWindow {
  TWL_DECLARE_CLASS(CAuxMessageBox)
 public:
  static constexpr int kFirstLabelId = 100;
  static constexpr int kFirstButtonId = 1000;

  CAuxMessageBox();
  ~CAuxMessageBox() override;

  // Makes the window and lays it out. The default index is 0 when out of
  // range; the help index -1 when out of range; the escape index -1 for
  // none. Throws a CError (the window destroyed) when it cannot be made.
  void Create(HWND parent, const char* caption, const char* text, const std::vector<std::string>& buttons,
              HICON icon, int defaultIndex, int escapeIndex, int helpIndex, int alignment);
  // The codes a box answered without a user stands for, one per button
  // (default: 1, 2, ... in button order); see TwlAnswerUnseenBox.
  void SetUnseenAnswers(std::vector<int> codes, UINT type);
  // Runs the box: the chosen button's index, -1 when the loop ended
  // without a choice. The windows it disabled are enabled again.
  int DoModal(bool topmost, bool foreground, bool disableAll);

  // CAuxWindow.
  void Destroy() override;
  void OnKeyDown(UINT key, LPARAM data) override;
  void OnControlClicked(CDDControl* control) override;
  bool DrawTile(IDirectDrawSurface2* backBuffer, int x, int y, const RECT& tile) override;
  void ApplySkin() override;
  void ReleaseSkin(int phase) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  const std::string& GetText() const { return m_Text; }
  int GetLineCount() const { return m_LineCount; }
  int GetButtonCount() const { return static_cast<int>(m_Buttons.size()); }
  int GetDefaultIndex() const { return m_DefaultIndex; }
  int GetEscapeIndex() const { return m_EscapeIndex; }
  int GetHelpIndex() const { return m_HelpIndex; }
  int GetAlignment() const { return m_Alignment; }
  bool IsIconShown() const { return m_IconShown; }
  const RECT& GetIconRect() const { return m_IconRect; }

 private:
  struct Layout;
  void LayOut(Layout& layout);
  void MeasureText(Layout& layout);
  void MeasureButtons(Layout& layout);
  void PlaceText(Layout& layout);
  void PlaceButtons(Layout& layout);
  void CenterOnParent();
  int AnswerWithoutUser();

  std::string m_Text;
  std::string m_Caption;
  int m_Alignment = 0;
  int m_LineCount = 0;
  std::vector<std::string> m_Buttons;
  int m_DefaultIndex = 0;
  int m_EscapeIndex = -1;
  int m_HelpIndex = -1;
  HICON m_Icon = nullptr;
  bool m_IconShown = false;
  RECT m_IconRect{};
  HWND m_Parent = nullptr;
  std::vector<int> m_UnseenCodes;
  UINT m_UnseenType = MB_OK;
};

// MessageBox through the skinned box: buttons, icon, default button and
// placement from `type`; answers IDOK .. IDNO, 0 when the box ended without
// a choice.
int AuxMessageBox(HWND parent, const char* text, const char* caption, UINT type);

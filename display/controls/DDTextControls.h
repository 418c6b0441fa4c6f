// Text controls: a line of text at the control's left edge, a label that
// aligns its line left, centred or right and never keeps its window from
// being dragged, and a label that wraps a longer text over several lines.
// A text wider than a one-line control is shortened from its end for
// good. Fonts are the host's writers, held but never freed.
//
// User-interface thread.
#pragma once

#include <windows.h>

#include <string>

#include "display/controls/DDControl.h"

class CDDTextLine : public CDDControl {
 public:
  ~CDDTextLine() override;

  virtual void SetText(const char* text);
  virtual void SetFont(HOST_WRITER font);

  using CDDControl::Create;
  // `text` may be null (empty).
  int Create(int id, DDControlCallback callback, void* owner, const RECT& rect, HOST_WRITER font, const char* text);
  void Destroy() override;
  int Draw(IDirectDrawSurface2* surface, int x, int y, const RECT* clip) override;
  const std::string& GetText() const { return m_Text; }
  HOST_WRITER GetFont() const { return m_Font; }

 protected:
  // Shortens the stored text while it is wider than the control; its width.
  int FitText();
  // Left edge of a line of the given width, relative to the control.
  virtual int LineLeft(int lineWidth) const { return 0; }
  std::string& Text() { return m_Text; }

 private:
  std::string m_Text;
  HOST_WRITER m_Font = nullptr;
};

class CDDLabel : public CDDTextLine {
 public:
  enum Alignment { kLeft = 0, kCentre = 1, kRight = 2 };

  CDDLabel() { SetInteractive(0); }
  // Values outside 0-2 are ignored.
  void SetAlignment(int alignment);
  int GetAlignment() const { return m_Alignment; }

 protected:
  int LineLeft(int lineWidth) const override;

 private:
  int m_Alignment = kLeft;
};

class CDDMultiLineLabel : public CDDLabel {
 public:
  int Draw(IDirectDrawSurface2* surface, int x, int y, const RECT* clip) override;
  void SetLineSpacing(int spacing) { m_LineSpacing = spacing; }
  int GetLineSpacing() const { return m_LineSpacing; }

 private:
  int m_LineSpacing = 5;
};

// The height a multi-line label needs for the text: lines x font height +
// (lines - 1) x spacing; 0 for an empty text.
int CalcWrappedTextHeight(HOST_WRITER font, const char* text, int width, int lineSpacing);

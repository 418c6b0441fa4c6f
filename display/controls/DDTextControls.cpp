#include "display/controls/DDTextControls.h"

#include "display/controls/DDControlServices.h"
#include "display/controls/WordWrap.h"

namespace {

TextMeasure MeasureWith(HOST_WRITER font) {
  return [font](std::string_view part) { return ddcontrols::TextWidth(font, std::string(part).c_str()); };
}

}  // namespace

CDDTextLine::~CDDTextLine() {
  if (IsCreated()) CDDTextLine::Destroy();
}

int CDDTextLine::Create(int id, DDControlCallback callback, void* owner, const RECT& rect, HOST_WRITER font,
                        const char* text) {
  if (!CDDControl::Create(id, callback, owner, rect)) return 0;
  m_Font = font;
  m_Text = text ? text : "";
  return 1;
}

void CDDTextLine::Destroy() {
  m_Text.clear();
  m_Font = nullptr;
  CDDControl::Destroy();
}

void CDDTextLine::SetText(const char* text) {
  m_Text = text ? text : "";
  Invalidate(nullptr);
}

void CDDTextLine::SetFont(HOST_WRITER font) {
  m_Font = font;
  Invalidate(nullptr);
}

int CDDTextLine::FitText() {
  int width = ddcontrols::TextWidth(m_Font, m_Text.c_str());
  while (width > GetWidth() && !m_Text.empty()) {
    m_Text.pop_back();
    width = ddcontrols::TextWidth(m_Font, m_Text.c_str());
  }
  return width;
}

int CDDTextLine::Draw(IDirectDrawSurface2* surface, int x, int y, const RECT*) {
  if (!IsVisible()) return 1;
  const int width = FitText();
  const RECT& rect = GetRect();
  const int top = rect.top + (GetHeight() - ddcontrols::FontHeight(m_Font)) / 2;
  return ddcontrols::DrawText(m_Font, surface, rect.left + LineLeft(width) + x, top + y, m_Text.c_str()) ? 1 : 0;
}

void CDDLabel::SetAlignment(int alignment) {
  if (alignment < kLeft || alignment > kRight) return;
  m_Alignment = alignment;
}

int CDDLabel::LineLeft(int lineWidth) const {
  if (m_Alignment == kCentre) return (GetWidth() - lineWidth) / 2;
  if (m_Alignment == kRight) return GetWidth() - lineWidth;
  return 0;
}

int CDDMultiLineLabel::Draw(IDirectDrawSurface2* surface, int x, int y, const RECT*) {
  if (!IsVisible()) return 1;
  const std::string& text = GetText();
  const int height = ddcontrols::FontHeight(GetFont());
  int top = GetRect().top;
  for (const WrappedLine& line : WrapText(text, GetWidth(), MeasureWith(GetFont()))) {
    const std::string part = text.substr(line.start, line.length);
    const int left = GetRect().left + LineLeft(ddcontrols::TextWidth(GetFont(), part.c_str()));
    if (!part.empty() && !ddcontrols::DrawText(GetFont(), surface, left + x, top + y, part.c_str())) return 0;
    top += height + GetLineSpacing();
  }
  return 1;
}

int CalcWrappedTextHeight(HOST_WRITER font, const char* text, int width, int lineSpacing) {
  if (!text || !*text) return 0;
  const int lines = static_cast<int>(WrapText(text, width, MeasureWith(font)).size());
  return lines * ddcontrols::FontHeight(font) + (lines - 1) * lineSpacing;
}

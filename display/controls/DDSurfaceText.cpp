#include "display/controls/DDSurfaceText.h"

#include <algorithm>
#include <utility>

#include "display/controls/ControlSurfaces.h"
#include "display/controls/DDControlServices.h"

CDDSurfaceText::~CDDSurfaceText() {
  if (IsCreated()) CDDSurfaceText::Destroy();
  ReleasePictures();
}

int CDDSurfaceText::Create(int id, DDControlCallback callback, void* owner, const RECT& rect, HOST_WRITER font,
                           IDirectDrawSurface2* background, DWORD gapColor, int gapWidth, int cellWidth, int blankCells,
                           const char* text) {
  if (!CDDTextLine::Create(id, callback, owner, rect, font, text)) return 0;
  m_Background = background;
  m_GapColor = gapColor;
  m_GapWidth = std::max(0, gapWidth);
  // A cell of no width would make every page endless.
  m_CellWidth = std::max(1, cellWidth);
  m_BlankCells = std::max(0, blankCells);
  Reset();
  return 1;
}

void CDDSurfaceText::Destroy() {
  ReleasePictures();
  m_Background = nullptr;
  m_Paged = false;
  m_Current = m_Next = TextPage{};
  m_Position = 0;
  m_PreviousPosition = -1;
  CDDTextLine::Destroy();
}

void CDDSurfaceText::ReleasePictures() {
  for (IDirectDrawSurface2*& picture : m_Pictures) {
    if (picture) picture->Release();
    picture = nullptr;
  }
}

PageMetrics CDDSurfaceText::Metrics() const {
  PageMetrics metrics;
  const std::string& text = GetText();
  metrics.length = static_cast<int>(text.size());
  metrics.blankCells = m_BlankCells;
  metrics.cellWidth = m_CellWidth;
  metrics.width = GetWidth();
  HOST_WRITER font = GetFont();
  metrics.charWidth = [&text, font](int position) {
    return ddcontrols::CharWidth(font, static_cast<unsigned char>(text[static_cast<size_t>(position)]));
  };
  metrics.isBlank = [&text](int position) {
    if (position < 0 || position >= static_cast<int>(text.size())) return false;
    const char c = text[static_cast<size_t>(position)];
    return c == ' ' || c == '\t';
  };
  return metrics;
}

void CDDSurfaceText::LayOut() {
  const PageMetrics metrics = Metrics();
  m_Paged = ddcontrols::TextWidth(GetFont(), GetText().c_str()) > GetWidth();
  if (m_Paged) {
    m_Current = LayOutPage(metrics, m_Current.start);
    m_Next = LayOutPage(metrics, m_Current.nextStart);
    m_Position = std::clamp(m_Position, 0, m_Next.Total());
  } else {
    m_Current = m_Next = TextPage{};
    m_Position = 0;
  }
  m_PreviousPosition = -1;
}

// The pages are laid out for the new text before anyone is told: the owner
// may draw the control at once, and pages of a longer text would reach
// past the end of a shorter one.
void CDDSurfaceText::SetText(const char* text) {
  Text() = text ? text : "";
  LayOut();
  MarkBoth();
  Invalidate(nullptr);
}

void CDDSurfaceText::SetFont(HOST_WRITER font) {
  CDDTextLine::SetFont(font);
  LayOut();
  MarkBoth();
}

void CDDSurfaceText::Reset() {
  m_Current.start = 0;
  m_Position = 0;
  LayOut();
  MarkBoth();
}

bool CDDSurfaceText::Step() {
  if (!m_Paged) return false;
  m_PreviousPosition = m_Position;
  if (++m_Position <= m_Next.Total()) return true;
  // The next page is whole: it becomes the current one.
  m_Current.start = m_Next.start;
  m_Position = 0;
  LayOut();
  std::swap(m_Pictures[kCurrent], m_Pictures[kNext]);
  std::swap(m_Render[kCurrent], m_Render[kNext]);
  m_Render[kNext] = true;
  return true;
}

int CDDSurfaceText::EnsurePicture(int which) {
  if (m_Pictures[which]) return 1;
  const HRESULT result =
      ddcontrols::CreateControlSurface(static_cast<DWORD>(std::max(1, GetWidth())),
                                       static_cast<DWORD>(std::max(1, GetHeight())), 0, true, &m_Pictures[which]);
  if (FAILED(result)) {
    ddcontrols::SetDirectDrawError(result);
    return 0;
  }
  m_Render[which] = true;
  return 1;
}

// The background under the control, then the page's cells: characters in
// runs as the font draws them, empty cells as the cell width.
int CDDSurfaceText::Render(int which) {
  if (!EnsurePicture(which)) return 0;
  if (!m_Render[which]) return 1;
  IDirectDrawSurface2* picture = m_Pictures[which];
  if (m_Background && !ddcontrols::CopyRect(picture, 0, 0, m_Background, GetRect())) return 0;
  const int top = (GetHeight() - ddcontrols::FontHeight(GetFont())) / 2;
  const std::string& text = GetText();
  if (!m_Paged) {
    const int left = (GetWidth() - ddcontrols::TextWidth(GetFont(), text.c_str())) / 2;
    if (!ddcontrols::DrawText(GetFont(), picture, left, top, text.c_str())) return 0;
  } else {
    const TextPage& page = which == kCurrent ? m_Current : m_Next;
    const size_t start = std::min(static_cast<size_t>(std::max(0, page.start)), text.size());
    const std::string run = text.substr(start, static_cast<size_t>(std::max(0, page.count)));
    if (!ddcontrols::DrawText(GetFont(), picture, page.emptyBefore * m_CellWidth, top, run.c_str())) return 0;
  }
  m_Render[which] = false;
  return 1;
}

int CDDSurfaceText::Blit(IDirectDrawSurface2* surface, int x, int y, IDirectDrawSurface2* picture, const RECT& columns,
                         bool toScreen) {
  if (columns.left >= columns.right) return 1;
  const int left = GetRect().left + columns.left + x;
  const int top = GetRect().top + y;
  if (!toScreen) return ddcontrols::CopyRect(surface, left, top, picture, columns);
  const HRESULT result = ddcontrols::PrimaryBlit(surface, left, top, picture, columns, DDBLT_WAIT, nullptr);
  if (FAILED(result)) {
    ddcontrols::SetDirectDrawError(result);
    return 0;
  }
  return 1;
}

int CDDSurfaceText::Fill(IDirectDrawSurface2* surface, int x, int y, const RECT& area, bool toScreen) {
  const DWORD color = toScreen ? ddcontrols::MapPaletteIndex(m_GapColor) : m_GapColor;
  const RECT moved{area.left + GetRect().left, area.top + GetRect().top, area.right + GetRect().left,
                   area.bottom + GetRect().top};
  return FillControlRect(surface, x, y, moved, color);
}

// The next page's columns before the bar from `fromColumn` on, the bar,
// and the current page's columns after it.
int CDDSurfaceText::Wipe(IDirectDrawSurface2* surface, int x, int y, bool toScreen, int fromColumn, bool whole) {
  const PageMetrics metrics = Metrics();
  const int width = GetWidth();
  const int height = GetHeight();
  const int edge = std::min(width, PageCellsWidth(metrics, m_Next, m_Position));
  if (!Blit(surface, x, y, m_Pictures[kNext], RECT{std::max(0, fromColumn), 0, edge, height}, toScreen)) return 0;
  const int barEnd = std::min(width, edge + m_GapWidth);
  if (!Fill(surface, x, y, RECT{edge, 0, barEnd, height}, toScreen)) return 0;
  if (!whole) return 1;
  return Blit(surface, x, y, m_Pictures[kCurrent], RECT{barEnd, 0, width, height}, toScreen);
}

int CDDSurfaceText::Draw(IDirectDrawSurface2* surface, int x, int y, const RECT*) {
  if (!IsVisible() || GetWidth() <= 0 || GetHeight() <= 0) return 1;
  if (!Render(kNext)) return 0;
  if (!m_Paged) return Blit(surface, x, y, m_Pictures[kNext], RECT{0, 0, GetWidth(), GetHeight()}, false);
  if (!Render(kCurrent)) return 0;
  return Wipe(surface, x, y, false, 0, true);
}

int CDDSurfaceText::DrawStep(IDirectDrawSurface2* surface, int x, int y, bool toScreen) {
  if (!IsVisible() || !m_Paged || GetWidth() <= 0 || GetHeight() <= 0) return 1;
  if (m_PreviousPosition == -1) {
    if (!Render(kNext) || !Render(kCurrent)) return 0;
    return Wipe(surface, x, y, toScreen, 0, true);
  }
  if (!Render(kNext)) return 0;
  const int from = std::min(GetWidth(), PageCellsWidth(Metrics(), m_Next, m_PreviousPosition));
  // Only the newly shown columns and the bar: the rest is on the target.
  return Wipe(surface, x, y, toScreen, from, false);
}

int CDDSurfaceText::RestoreSurfaces() {
  for (int which = 0; which < 2; ++which) {
    IDirectDrawSurface2*& picture = m_Pictures[which];
    if (!picture) continue;
    m_Render[which] = true;
    if (SUCCEEDED(picture->Restore())) continue;
    picture->Release();
    picture = nullptr;
    if (which == kCurrent && !m_Paged) continue;
    if (!EnsurePicture(which)) return 0;
  }
  return 1;
}

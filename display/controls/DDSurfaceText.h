// CDDSurfaceText: the main window's title line. A text that fits is shown
// still and centred; a longer one is shown a page at a time, and each Step
// wipes one more cell of the next page in over the current one behind a
// bar of the gap colour. Both pages are kept as pictures of the control's
// size over a copy of the background surface beneath it.
//
// User-interface thread.
#pragma once

#include <windows.h>

#include <string>

#include "display/controls/DDTextControls.h"
#include "display/controls/PageLayout.h"

class CDDSurfaceText : public CDDTextLine {
 public:
  ~CDDSurfaceText() override;

  using CDDTextLine::Create;
  // The background surface stays the caller's; `gapColor` is a pixel value.
  int Create(int id, DDControlCallback callback, void* owner, const RECT& rect, HOST_WRITER font,
             IDirectDrawSurface2* background, DWORD gapColor, int gapWidth, int cellWidth, int blankCells,
             const char* text);
  void Destroy() override;
  void SetText(const char* text) override;
  void SetFont(HOST_WRITER font) override;
  // Back to the first page.
  void Reset();
  // One more cell of the next page; false when the text is not paged.
  bool Step();
  int Draw(IDirectDrawSurface2* surface, int x, int y, const RECT* clip) override;
  // Draws only what the last Step changed (all after a page change), into
  // a tile or, with `toScreen`, straight onto the screen.
  int DrawStep(IDirectDrawSurface2* surface, int x, int y, bool toScreen);
  int RestoreSurfaces() override;

  bool IsPaged() const { return m_Paged; }
  const TextPage& GetCurrentPage() const { return m_Current; }
  const TextPage& GetNextPage() const { return m_Next; }
  int GetPosition() const { return m_Position; }
  int GetPreviousPosition() const { return m_PreviousPosition; }

 private:
  enum Picture { kCurrent = 0, kNext = 1 };

  PageMetrics Metrics() const;
  void LayOut();
  void MarkBoth() { m_Render[0] = m_Render[1] = true; }
  int EnsurePicture(int which);
  int Render(int which);
  int Wipe(IDirectDrawSurface2* surface, int x, int y, bool toScreen, int fromColumn, bool whole);
  int Blit(IDirectDrawSurface2* surface, int x, int y, IDirectDrawSurface2* picture, const RECT& columns,
           bool toScreen);
  int Fill(IDirectDrawSurface2* surface, int x, int y, const RECT& area, bool toScreen);
  void ReleasePictures();

  IDirectDrawSurface2* m_Pictures[2] = {};
  IDirectDrawSurface2* m_Background = nullptr;
  DWORD m_GapColor = 0;
  int m_GapWidth = 0;
  bool m_Paged = false;
  TextPage m_Current;
  TextPage m_Next;
  int m_Position = 0;
  int m_PreviousPosition = -1;
  bool m_Render[2] = {true, true};
  int m_CellWidth = 1;
  int m_BlankCells = 0;
};

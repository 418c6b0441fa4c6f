// The real window of one top-level window of the model. It shows the
// model's pixels and shape at the model's place, and hands what the user
// does with it (mouse, keys, activation, the frame's close box and moves)
// to the model as input; every decision stays the model's. Pop-up windows
// are frameless and shaped; captioned windows get the desktop's frame,
// which stands in for the model's own non-client area, so the real window
// shows the client area. Qt thread only.
#pragma once

#include <QBackingStore>
#include <QWindow>

#include <windows.h>

namespace twl::qt {

class RealWindow : public QWindow {
 public:
  explicit RealWindow(HWND window);
  RealWindow(const RealWindow&) = delete;
  RealWindow& operator=(const RealWindow&) = delete;

  HWND Model() const { return model_; }
  // Takes the model's place, size, shape and kind of window; shows the
  // real window when the model's is visible and has an area.
  void FollowModel();
  // Copies the model's pixels of `area` (window coordinates) to the screen.
  void Present(const RECT& area);
  // Takes the model's z-order place and, for the foreground window, the
  // desktop's activation.
  void RaiseAsModel();

 protected:
  void exposeEvent(QExposeEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FollowKind(DWORD style, DWORD exStyle);
  void FollowShape();
  void ReportFrameGeometry();
  void Key(QKeyEvent* event, bool down);

  HWND model_;
  QBackingStore store_;
  bool framed_ = false;      // the desktop's frame stands in for the model's caption
  QPoint contentOrigin_;     // where the shown part starts in the model's window
  QRect placed_;             // the geometry last taken from the model
  bool kindChosen_ = false;
};

}  // namespace twl::qt

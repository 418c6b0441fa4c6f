#include "RealWindow.h"

#include <QExposeEvent>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <vector>

#include "IconImages.h"
#include "KeyCodes.h"
#include "TaskbarHint.h"
#include "twlwin/presenter.h"

namespace twl::qt {

namespace {

QRect ToQRect(const RECT& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

QRegion RegionOf(HRGN region) {
  DWORD size = GetRegionData(region, 0, nullptr);
  if (size < sizeof(RGNDATAHEADER)) return {};
  std::vector<unsigned char> bytes(size);
  auto* data = reinterpret_cast<RGNDATA*>(bytes.data());
  if (GetRegionData(region, size, data) != size) return {};
  const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
  DWORD count = std::min<DWORD>(data->rdh.nCount, (size - sizeof(RGNDATAHEADER)) / sizeof(RECT));
  QRegion result;
  for (DWORD i = 0; i < count; ++i) result += ToQRect(rects[i]);
  return result;
}

int ButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return VK_LBUTTON;
    case Qt::RightButton: return VK_RBUTTON;
    case Qt::MiddleButton: return VK_MBUTTON;
    default: return 0;
  }
}

// Keys Qt names but whose keysym says nothing (synthesised events).
unsigned VirtualKeyOf(const QKeyEvent& event) {
  if (unsigned vk = VirtualKeyOfKeysym(event.nativeVirtualKey())) return vk;
  switch (event.key()) {
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
  }
  int key = event.key();
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return static_cast<unsigned>(key);
  return 0;
}

}  // namespace

RealWindow::RealWindow(HWND window) : model_(window), store_(this) {
  setSurfaceType(QSurface::RasterSurface);
}

void RealWindow::FollowKind(DWORD style, DWORD exStyle) {
  // A window transient for its owner's real window is a dialog to the
  // desktop: only then does Qt name the owner to the window manager.
  Qt::WindowFlags flags = transientParent() ? Qt::Dialog : Qt::Window;
  framed_ = (style & WS_CAPTION) == WS_CAPTION;
  if (!framed_) flags |= Qt::FramelessWindowHint;
  if (exStyle & WS_EX_TOPMOST) flags |= Qt::WindowStaysOnTopHint;
  if (exStyle & WS_EX_NOACTIVATE) flags |= Qt::WindowDoesNotAcceptFocus;
  // A frameless topmost tool window (a tooltip, an open drop-down list)
  // floats above the others, never takes the focus and has no task-list
  // entry.
  if (!framed_ && (exStyle & WS_EX_TOOLWINDOW) && (exStyle & WS_EX_TOPMOST))
    flags = Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus;
  if (flags != this->flags()) setFlags(flags);
  if (kindChosen_) return;
  kindChosen_ = true;
  // An owned window stays off the task list, unless its owner shows
  // nowhere (the program's owner window): then it is the program's entry
  // and carries the owner's text and icon.
  HWND owner = GetWindow(model_, GW_OWNER);
  RECT ownerRect{};
  bool ownerShows = owner && GetWindowRect(owner, &ownerRect) && ownerRect.right > ownerRect.left &&
                    ownerRect.bottom > ownerRect.top;
  char title[256] = "";
  GetWindowTextA(ownerShows || !owner ? model_ : owner, title, sizeof title);
  setTitle(QString::fromUtf8(title));
  if (owner && !ownerShows) {
    HICON icon = reinterpret_cast<HICON>(GetClassLongA(owner, GCL_HICON));
    QImage image = IconImage(icon);
    if (!image.isNull()) setIcon(QIcon(QPixmap::fromImage(image)));
  }
  create();
  if (ownerShows) KeepOffTaskList(this);
}

void RealWindow::FollowShape() {
  if (framed_) {
    setMask(QRegion());
    return;
  }
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  QRegion shape;
  if (GetWindowRgn(model_, region) != ERROR) shape = RegionOf(region);
  DeleteObject(region);
  setMask(shape);
}

void RealWindow::FollowModel() {
  RECT rect{};
  if (!GetWindowRect(model_, &rect)) return;
  // A window that never shows (message windows, the owner window) never
  // gets a real one.
  bool wanted = IsWindowVisible(model_) && rect.right > rect.left && rect.bottom > rect.top;
  if (!wanted && !isVisible()) return;
  FollowKind(static_cast<DWORD>(GetWindowLongA(model_, GWL_STYLE)), static_cast<DWORD>(GetWindowLongA(model_, GWL_EXSTYLE)));
  QRect shown = ToQRect(rect);
  contentOrigin_ = QPoint(0, 0);
  if (framed_) {
    RECT client{};
    POINT corner{0, 0};
    GetClientRect(model_, &client);
    ClientToScreen(model_, &corner);
    shown = QRect(corner.x, corner.y, client.right, client.bottom);
    contentOrigin_ = QPoint(corner.x - rect.left, corner.y - rect.top);
  }
  placed_ = shown;
  if (geometry() != shown && !shown.isEmpty()) setGeometry(shown);
  FollowShape();
  bool show = IsWindowVisible(model_) && !shown.isEmpty();
  if (show && !isVisible()) {
    setCursor(CursorOnShow());
    // Only the model's foreground window may take the desktop's focus as it
    // maps: a window manager that focuses every new window would otherwise
    // hand a late-mapped background window a focus-in, which reaches the
    // model as the user's activation and raises it over the one in front.
    setProperty("_q_showWithoutActivating", GetForegroundWindow() != model_);
    setVisible(true);
  } else if (!show && isVisible()) {
    setVisible(false);
  }
}

void RealWindow::RaiseAsModel() {
  if (!isVisible()) return;
  FollowKind(static_cast<DWORD>(GetWindowLongA(model_, GWL_STYLE)), static_cast<DWORD>(GetWindowLongA(model_, GWL_EXSTYLE)));
  raise();
  if (GetForegroundWindow() == model_ && !isActive()) requestActivate();
}

void RealWindow::Present(const RECT& area) {
  if (!isExposed()) return;
  QRect wanted = ToQRect(area).translated(-contentOrigin_) & QRect(QPoint(0, 0), size());
  if (wanted.isEmpty()) return;
  if (store_.size() != size()) store_.resize(size());
  store_.beginPaint(wanted);
  QPaintDevice* device = store_.paintDevice();
  auto* image = device->devType() == QInternal::Image ? static_cast<QImage*>(device) : nullptr;
  bool direct = image && image->depth() == 32 && image->devicePixelRatio() == 1.0 &&
                image->rect().contains(wanted);
  RECT read{wanted.left() + contentOrigin_.x(), wanted.top() + contentOrigin_.y(),
            wanted.right() + 1 + contentOrigin_.x(), wanted.bottom() + 1 + contentOrigin_.y()};
  if (direct) {
    // The model's words are 0x00RRGGBB, the layout of Qt's 32-bit RGB:
    // read straight into the backing store, with no copy between.
    auto* corner = reinterpret_cast<DWORD*>(image->scanLine(wanted.top())) + wanted.left();
    TwlReadWindowPixels(model_, &read, corner, static_cast<int>(image->bytesPerLine()));
  } else {
    QImage pixels(wanted.size(), QImage::Format_RGB32);
    if (TwlReadWindowPixels(model_, &read, reinterpret_cast<DWORD*>(pixels.bits()), static_cast<int>(pixels.bytesPerLine()))) {
      QPainter painter(device);
      painter.setCompositionMode(QPainter::CompositionMode_Source);
      painter.drawImage(wanted.topLeft(), pixels);
    }
  }
  store_.endPaint();
  store_.flush(wanted);
}

void RealWindow::exposeEvent(QExposeEvent*) {
  if (!isExposed()) return;
  Present(RECT{contentOrigin_.x(), contentOrigin_.y(), contentOrigin_.x() + width(), contentOrigin_.y() + height()});
}

void RealWindow::resizeEvent(QResizeEvent*) {
  store_.resize(size());
  ReportFrameGeometry();
}

void RealWindow::moveEvent(QMoveEvent*) { ReportFrameGeometry(); }

// The desktop's frame moved or sized a captioned window: the model takes
// the new place. Geometry the model itself asked for is not sent back.
void RealWindow::ReportFrameGeometry() {
  if (!framed_ || !isVisible()) return;
  QRect now = geometry();
  if (now == placed_ || now.isEmpty()) return;
  RECT rect{}, client{};
  if (!GetWindowRect(model_, &rect) || !GetClientRect(model_, &client)) return;
  int extraWidth = (rect.right - rect.left) - client.right;
  int extraHeight = (rect.bottom - rect.top) - client.bottom;
  RECT wanted{now.left() - contentOrigin_.x(), now.top() - contentOrigin_.y(), 0, 0};
  wanted.right = wanted.left + now.width() + extraWidth;
  wanted.bottom = wanted.top + now.height() + extraHeight;
  placed_ = now;
  TwlInputPlaceWindow(model_, &wanted);
}

void RealWindow::mousePressEvent(QMouseEvent* event) {
  QPoint at = event->globalPosition().toPoint();
  if (int button = ButtonOf(event->button())) TwlInputMouseButton(button, TRUE, at.x(), at.y());
}

void RealWindow::mouseDoubleClickEvent(QMouseEvent* event) {
  // The model makes double clicks itself (for classes that want them): to
  // it this is a second press.
  mousePressEvent(event);
}

void RealWindow::mouseReleaseEvent(QMouseEvent* event) {
  QPoint at = event->globalPosition().toPoint();
  if (int button = ButtonOf(event->button())) TwlInputMouseButton(button, FALSE, at.x(), at.y());
}

void RealWindow::mouseMoveEvent(QMouseEvent* event) {
  QPoint at = event->globalPosition().toPoint();
  TwlInputMouseMove(at.x(), at.y());
}

void RealWindow::wheelEvent(QWheelEvent* event) {
  QPoint at = event->globalPosition().toPoint();
  if (int delta = event->angleDelta().y()) TwlInputMouseWheel(at.x(), at.y(), delta);
}

void RealWindow::Key(QKeyEvent* event, bool down) {
  // A held key repeats as presses alone; the model sets the repeat bit.
  if (!down && event->isAutoRepeat()) return;
  if (unsigned vk = VirtualKeyOf(*event)) TwlInputKey(vk, down ? TRUE : FALSE);
}

void RealWindow::keyPressEvent(QKeyEvent* event) { Key(event, true); }
void RealWindow::keyReleaseEvent(QKeyEvent* event) { Key(event, false); }

void RealWindow::focusInEvent(QFocusEvent*) {
  if (GetForegroundWindow() != model_) TwlInputActivate(model_);
}

void RealWindow::closeEvent(QCloseEvent* event) {
  // The frame's close box is the system menu's Close: the model decides.
  event->ignore();
  PostMessageA(model_, WM_SYSCOMMAND, SC_CLOSE, 0);
}

}  // namespace twl::qt

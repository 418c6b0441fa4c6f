#include "TrayIcons.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QWidget>
#include <QPixmap>
#include <QSystemTrayIcon>

#include <cstring>
#include <set>

#include "IconImages.h"
#include "twlwin/presenter.h"

namespace twl::qt {

struct TrayIcons::Shown {
  TWLNOTIFYICON model{};
  QSystemTrayIcon icon;
};

namespace {

QIcon IconOf(HICON handle) {
  QImage image = IconImage(handle);
  if (image.isNull()) {
    // A tray shows nothing for an icon without a picture: a clear square
    // keeps the place, as the shell does.
    image = QImage(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
  }
  return QIcon(QPixmap::fromImage(image));
}

void Tell(const TWLNOTIFYICON& icon, std::initializer_list<UINT> mouseMessages) {
  if (!icon.uCallbackMessage) return;
  for (UINT message : mouseMessages)
    PostMessageA(icon.hWnd, icon.uCallbackMessage, static_cast<WPARAM>(icon.uID), static_cast<LPARAM>(message));
}

// Qt's XEmbed tray windows carry no name and appear when a tray takes
// them; naming each after its tip as it shows or its tip changes lets the
// desktop's tools (and screen readers) tell the icons apart.
class TrayWindowNames : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Show && event->type() != QEvent::ToolTipChange) return false;
    if (!watched->isWidgetType() || watched->objectName() != QLatin1String("QSystemTrayIconSys")) return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->windowTitle() != widget->toolTip()) widget->setWindowTitle(widget->toolTip());
    return false;
  }
};

void Connect(QSystemTrayIcon& shown, const TWLNOTIFYICON* model) {
  QObject::connect(&shown, &QSystemTrayIcon::activated, [model](QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
      case QSystemTrayIcon::Trigger: Tell(*model, {WM_LBUTTONDOWN, WM_LBUTTONUP}); break;
      case QSystemTrayIcon::DoubleClick: Tell(*model, {WM_LBUTTONDBLCLK, WM_LBUTTONUP}); break;
      case QSystemTrayIcon::Context: Tell(*model, {WM_RBUTTONDOWN, WM_RBUTTONUP}); break;
      case QSystemTrayIcon::MiddleClick: Tell(*model, {WM_MBUTTONDOWN, WM_MBUTTONUP}); break;
      default: break;
    }
  });
}

}  // namespace

TrayIcons::TrayIcons() : names_(std::make_unique<TrayWindowNames>()) { qApp->installEventFilter(names_.get()); }
TrayIcons::~TrayIcons() { shown_.clear(); }

void TrayIcons::FollowModel() {
  std::set<std::pair<HWND, UINT>> present;
  UINT count = TwlGetNotifyIconCount();
  for (UINT i = 0; i < count; ++i) {
    TWLNOTIFYICON model{};
    if (!TwlGetNotifyIcon(i, &model)) continue;
    auto key = std::make_pair(model.hWnd, model.uID);
    present.insert(key);
    auto& entry = shown_[key];
    bool fresh = !entry;
    if (fresh) {
      entry = std::make_unique<Shown>();
      Connect(entry->icon, &entry->model);
    }
    if (fresh || entry->model.hIcon != model.hIcon) entry->icon.setIcon(IconOf(model.hIcon));
    if (fresh || std::strcmp(entry->model.szTip, model.szTip) != 0) entry->icon.setToolTip(QString::fromUtf8(model.szTip));
    entry->model = model;
    if (fresh) entry->icon.show();
  }
  for (auto it = shown_.begin(); it != shown_.end();) it = present.count(it->first) ? std::next(it) : shown_.erase(it);
}

}  // namespace twl::qt

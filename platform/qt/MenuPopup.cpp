#include "MenuPopup.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QTimer>

#include <memory>

namespace twl::qt {

namespace {

constexpr int kMaxDepth = 16;  // a menu that holds itself ends here

bool Disabled(UINT state) { return (state & MFS_GRAYED) != 0; }

void Fill(QMenu* target, HMENU menu, int depth) {
  if (depth > kMaxDepth) return;
  int count = GetMenuItemCount(menu);
  QActionGroup* radios = nullptr;
  for (int i = 0; i < count; ++i) {
    char text[512] = "";
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    if (info.fType & MFT_SEPARATOR) {
      target->addSeparator();
      radios = nullptr;
      continue;
    }
    QString label = QString::fromUtf8(text);
    if (info.hSubMenu) {
      QMenu* sub = target->addMenu(label);
      Fill(sub, info.hSubMenu, depth + 1);
      sub->setEnabled(!Disabled(info.fState));
      radios = nullptr;
      continue;
    }
    QAction* action = target->addAction(label);
    action->setData(static_cast<int>(info.wID));
    action->setEnabled(!Disabled(info.fState));
    bool checked = (info.fState & MFS_CHECKED) != 0;
    if (info.fType & MFT_RADIOCHECK) {
      if (!radios) radios = new QActionGroup(target);
      radios->addAction(action);
    } else {
      radios = nullptr;
    }
    if (checked || (info.fType & MFT_RADIOCHECK)) {
      action->setCheckable(true);
      action->setChecked(checked);
    }
  }
}

}  // namespace

QMenu* PopUpModelMenu(HMENU menu, QPoint at, std::function<void(int)> done) {
  auto* shown = new QMenu;
  Fill(shown, menu, 0);
  auto answer = std::make_shared<std::function<void(int)>>(std::move(done));
  auto give = [answer](int id) {
    if (!*answer) return;
    auto call = std::move(*answer);
    *answer = nullptr;
    call(id);
  };
  QObject::connect(shown, &QMenu::triggered, shown, [give](QAction* action) { give(action->data().toInt()); });
  // The choice is told after the menu hides: wait one turn of the loop
  // before calling it a dismissal.
  QObject::connect(shown, &QMenu::aboutToHide, shown, [give, shown] {
    QTimer::singleShot(0, [give] { give(0); });
    shown->deleteLater();
  });
  // Deleted unanswered (the presenter stopping): the tracking thread must
  // not wait on, and the loop may not run again to tell it.
  QObject::connect(shown, &QObject::destroyed, [give] { give(0); });
  if (shown->isEmpty()) {
    delete shown;
    return nullptr;
  }
  shown->popup(at);
  return shown;
}

}  // namespace twl::qt

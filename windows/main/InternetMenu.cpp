// The Internet menu (the program's web pages, opened by commands 1111 to
// 1120 for web page 0 to 9) and the "What's this?" menu of a control.
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Placeholder.h"
#include "windows/main/MainMenus.h"
#include "windows/main/MainWindowIds.h"
#include "windows/main/MenuItems.h"

namespace mainwindow {

namespace {

struct WebPageItem {
  UINT id;  // 0: a separator
  const char* key;
  const char* defaultText;
};

constexpr WebPageItem kWebPageItems[] = {
    {1111, "CMainWindow.Menu.Internet.RecommendToFriend", "Recommend Program to a Friend"},
    {1112, "CMainWindow.Menu.Internet.SpecialOffer", "Today's Special Offers - %DATE%"},
    {0, nullptr, nullptr},
    {1113, "CMainWindow.Menu.Internet.NewsLetter", "Velbrook Free Newsletter"},
    {1114, "CMainWindow.Menu.Internet.Homepage", "Velbrook Homepage"},
    {1115, "CMainWindow.Menu.Internet.Products", "Velbrook Products"},
    {0, nullptr, nullptr},
    {1116, "CMainWindow.Menu.Internet.Skins", "Download Skins"},
    {1117, "CMainWindow.Menu.Internet.Plugins", "Download Plugins"},
    {1118, "CMainWindow.Menu.Internet.AddOns", "Download Add-Ons"},
    {0, nullptr, nullptr},
    {1119, "CMainWindow.Menu.Internet.Support", "Velbrook Support"},
    {1120, "CMainWindow.Menu.Internet.OnlineUpdate", "Online Update"},
};

}  // namespace

void FillInternetMenu(HMENU menu, const CStr& date) {
  for (const WebPageItem& item : kWebPageItems) {
    if (item.id == 0) {
      AppendSeparator(menu);
      continue;
    }
    AppendItem(menu, {item.id, ReplacePlaceholder(LocalText(item.key, item.defaultText), {"%DATE%", date})});
  }
}

HMENU BuildInternetMenu(const CStr& date) {
  return BuildPopupMenu("MenuError.CreateMenu", "Error creating menu.",
                        [&](HMENU menu) { FillInternetMenu(menu, date); });
}

HMENU BuildWhatsThisMenu(int page) {
  return BuildPopupMenu("MenuError.CreateMenu", "Error creating menu.", [&](HMENU menu) {
    AppendItem(menu, {static_cast<UINT>(kWhatsThisFirst + page),
                      LocalText("CMainWindow.PopupMenu.WhatsThis", "What's this?")});
  });
}

int FindIntroPage(int controlId, std::span<const int> pageControls) {
  if (controlId >= kTimeFieldFirst && controlId <= kTimeFieldLast) controlId = kTimeFieldFirst;
  for (size_t page = 0; page < pageControls.size(); ++page)
    if (pageControls[page] == controlId) return static_cast<int>(page);
  return -1;
}

}  // namespace mainwindow

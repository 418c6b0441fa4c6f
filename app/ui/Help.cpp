// Help: F1's question which help a main window wants, opening the help
// file of the program folder, and the table of the maker's web pages.
#include <cstdlib>
#include <string>

#include "app/core/System.h"
#include "app/ui/HelpFiles.h"
#include "app/ui/UserInterface.h"
#include "display/auxwindow/AuxMessageBox.h"
#include "display/window/Window.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"

namespace {

constexpr const char* kHelpFileName = "DURoruv";
constexpr const char* kNoHtmlHelpFile = "NoHTMLHelp.txt";
constexpr const char* kWebHost = "http://www.velbrook.example";

constexpr const char* kWebPagePaths[CUserInterface::kWebPageCount] = {
    "/internet/friend/0014.htm",        "/internet/advertising/0014.htm", "/internet/newsletter/0014.htm",
    "/internet/homepage/0014.htm",      "/internet/products/0014.htm",    "/internet/download/0014/skins",
    "/internet/download/0014/plugins",  "/internet/download/0014/add-ons", "/internet/support/0014.htm",
    "/internet/update/0014.htm",
};

}  // namespace

CStr CUserInterface::GetWebHost() {
  const char* host = std::getenv("TWL_WEB_HOST");
  return CStr(host && *host ? host : kWebHost);
}

namespace {

// The page of each help topic (topic 0 opens the help's start).
const char* TopicPage(int topic) { return topic == CUserInterface::kPlaylistFoldersTopic ? "/playlistfolders.htm" : ""; }

void LogShowHelpFailed() {
  LogText(LOGCODE_ERROR, "CUserInterface.ShowHelpFailed",
          "Error displaying help. If this error persists the program is probably damaged and you'll have to "
          "reinstall it.",
          "\n");
}

bool Opened(HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; }

// The compiled help without a program for it: the text that says how to
// get one.
void ShowNoHtmlHelpText(HWND owner, const CStr& folder) {
  const std::string path = std::string(folder.c_str()) + kNoHtmlHelpFile;
  if (Opened(ShellExecuteA(owner, nullptr, path.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL))) return;
  LogText(LOGCODE_ERROR, "CUserInterface.NoHTMLHelp.ShowReadMeFailed",
          "Error displaying information file about HTML Help. If this error persists the program is probably damaged "
          "and you'll have to reinstall it.",
          "\n");
}

}  // namespace

bool OpenHelpFile(const CStr& folder, HWND owner, HWND mainOwner, int topic) {
  const std::string base = std::string(folder.c_str()) + kHelpFileName;
  const std::string oldHelp = base + ".hlp";
  if (CSystem::FileExists(oldHelp.c_str())) {
    if (WinHelpA(owner, oldHelp.c_str(), HELP_FINDER, 0)) return true;
    LogShowHelpFailed();
    return false;
  }
  const std::string compiled = base + ".chm";
  if (topic >= 1) {
    const std::string withTopic = compiled + "::" + TopicPage(topic);
    HtmlHelpA(GetDesktopWindow(), withTopic.c_str(), HH_DISPLAY_TOPIC, 0);
    return true;
  }
  const HINSTANCE result = ShellExecuteA(mainOwner, "open", compiled.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL);
  if (Opened(result)) return true;
  const INT_PTR code = reinterpret_cast<INT_PTR>(result);
  if (code == SE_ERR_NOASSOC || code == SE_ERR_ASSOCINCOMPLETE) ShowNoHtmlHelpText(mainOwner, folder);
  else LogShowHelpFailed();
  return false;
}

bool CUserInterface::ShowHelp(HWND owner, int topic) {
  return OpenHelpFile(GetSystem().GetProgramFolder(), owner, GetSystem().GetOwnerWindow().GetWindowHandle(), topic);
}

void CUserInterface::ShowContextHelp() {
  try {
    HWND active = GetActiveWindow();
    CWindow* asked = nullptr;
    for (CWindow* window : m_MainWindows)
      if (window && active && window->GetWindowHandle() == active) asked = window;
    if (!asked) {
      if (CWindow* main = GetMainWindow(0)) ShowHelp(main->GetWindowHandle(), kNoHelpTopic);
      return;
    }
    const std::vector<std::string> buttons = {
        LocalText("CUserInterface.ShowHelp.ButtonNormalHelp", "Normal help").c_str(),
        LocalText("CUserInterface.ShowHelp.ButtonQuickIntro", "Quick Introduction").c_str(),
        LocalText("CUserInterface.ShowHelp.ButtonCancel", "Cancel").c_str()};
    CAuxMessageBox box;
    box.Create(asked->GetWindowHandle(), LocalText("CUserInterface.ShowHelp.Caption", "Help Type?"),
               LocalText("CUserInterface.ShowHelp.Text",
                         "What kind of help would you like to receive?\n\nDo you want to open the normal help "
                         "system or see the Quick Introduction for the current window?"),
               buttons, nullptr, 0, 2, -1, 0);
    const int answer = box.DoModal(false, false, false);
    box.Destroy();
    // The quick introductions come with the main windows' own help.
    if (answer == 0) ShowHelp(asked->GetWindowHandle(), kNoHelpTopic);
  } catch (CError* error) {
    LogFormat(LOGCODE_ERROR, "%s\n%s\n", error->GetCaption().c_str(), error->GetText().c_str());
    DisposeError(error);
  }
}

CStr CUserInterface::GetWebPageUrl(int index) {
  if (index < 0 || index >= kWebPageCount) return CStr("");
  return GetWebHost() + kWebPagePaths[index];
}

// Opening web pages in the desktop's browser.
#include "app/core/System.h"
#include "app/ui/UserInterface.h"
#include "foundation/appcore/LogFront.h"

bool CUserInterface::StartWebBrowser(const char* url) {
  const HINSTANCE result = ShellExecuteA(nullptr, "open", url, nullptr, nullptr, SW_SHOWNORMAL);
  if (reinterpret_cast<INT_PTR>(result) > 32) return true;
  LogText(LOGCODE_ERROR, "CUserInterface.StartBrowserFailed",
          "Error starting web browser. Please make sure that you have a web browser (like Internet Explorer or "
          "Opera) installed.",
          "\n");
  return false;
}

#include <windows.h>
#include <twlwin/testing_gdi.h>
#include <twlwin/testing_user.h>

#include <cstdio>
#include <future>
#include <string>
#include <thread>

#include "driver/Command.h"
#include "foundation/appcore/SettingsKey.h"
#include "foundation/appcore/WindowRect.h"
#include "foundation/kernel/Error.h"
#include "foundation/log/LogWindow.h"

namespace {

// The demo keeps its settings apart from the player's, and starts in the
// simple face, in a window large enough for the whole scripted log, every
// time.
constexpr const char* kDemoSettingsPath = "Software\\Velbrook\\fndtool";
constexpr RECT kDemoPlace{40, 40, 40 + 560, 40 + 330};
constexpr DWORD kIdleTimeout = 10000;

void PrepareSettings() {
  SetSettingsKey(HKEY_CURRENT_USER, kDemoSettingsPath);
  HKEY key = nullptr;
  if (OpenSettingsKey(KEY_SET_VALUE, &key)) {
    RegDeleteValueA(key, "LogWindowMode");
    RegCloseKey(key);
  }
  SaveWindowRect(WindowRectValueName("LogWindow"), &kDemoPlace);
}

// Entries from three threads: a start-up group that another thread's
// warning cannot split, then a burst of errors, then a note.
void WriteScriptedEntries(CLogWindow& log) {
  std::promise<void> groupOpen;
  std::promise<void> warningWritten;
  std::thread startup([&] {
    log.BeginWrite();
    log.Write("-------- loading plugins --------\n", LOG_SEVERITY_INFORMATION);
    groupOpen.set_value();
    warningWritten.get_future().wait();
    log.Write("Pictolan.dll: ready\n", LOG_SEVERITY_INFORMATION);
    log.Write("Netvarra.dll: ready\n", LOG_SEVERITY_INFORMATION);
    log.Write("finished loading plugins\n", LOG_SEVERITY_INFORMATION);
    log.EndWrite();
  });
  std::thread watcher([&] {
    groupOpen.get_future().wait();
    log.Write("WARNING: the plug-in folder is not watched; new plug-ins show at the next start.\n",
              LOG_SEVERITY_WARNING);
    warningWritten.set_value();
  });
  watcher.join();
  startup.join();
  std::thread player([&] {
    log.Print(LOG_SEVERITY_ERROR, "Unable to open '%s'.\n    Stream error: the file does not exist\n",
              "C:\\Music\\missing.mp3");
  });
  player.join();
  log.Write("Playing the next title.\n", LOG_SEVERITY_INFORMATION);
}

bool WaitUntilShown(HWND window) {
  return TwlTestWaitForIdle(GetWindowThreadProcessId(window, nullptr), kIdleTimeout) != FALSE;
}

int Dump(HWND window, const std::string& path) {
  if (!WaitUntilShown(window)) return tool::Fail("the log window does not answer");
  if (!TwlTestSaveWindowPng(window, path.c_str())) return tool::Fail("cannot write '" + path + "'");
  std::printf("%s\n", path.c_str());
  return 0;
}

int ShowBothFaces(CLogWindow& log, const std::string& folder) {
  log.Create(nullptr);
  const HWND window = log.GetWindowHandle();
  WriteScriptedEntries(log);
  log.Show(true);
  if (int failed = Dump(window, folder + "/logwindow-simple.png")) return failed;
  SendMessageA(GetDlgItem(window, 502), BM_CLICK, 0, 0);
  return Dump(window, folder + "/logwindow-advanced.png");
}

}  // namespace

// Opens the log window, writes entries from several threads and saves the
// window in both faces as PNG files, for a look at how it shows the log.
TOOL_COMMAND(RunLogWindow, "logwindow",
                "DIR  show the log window with entries of several threads; writes DIR/logwindow-simple.png and "
                "DIR/logwindow-advanced.png") {
  if (args.size() != 1) return tool::Fail("usage: logwindow DIR");
  PrepareSettings();
  CLogWindow log;
  int result = 0;
  try {
    result = ShowBothFaces(log, args[0]);
  } catch (CError* error) {
    result = tool::Fail(error->GetText().c_str());
    DisposeError(error);
  }
  log.Destroy();
  return result;
}

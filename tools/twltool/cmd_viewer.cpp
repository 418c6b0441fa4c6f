// `twltool viewer`: the viewer window system's start, mode changes and end
// as the player runs them, with a stand-in player in slot 1 and a stand-in
// visualizer in slot 2 that print every viewer event they get.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "StdoutLogFront.h"
#include "driver/Command.h"
#include "pluginhost/plugins/PlugInLoader.h"
#include "pluginhost/viewer/ControlWindowHost.h"
#include "pluginhost/viewer/ControlWindowSystem.h"
#include "pluginhost/viewer/ControlWindowUser.h"

namespace {

class StandInUser : public CControlWindowUser {
 public:
  explicit StandInUser(int slot) : m_Slot(slot) {}
  int OnViewerEvent(DWORD event, uintptr_t argument, uintptr_t data) override {
    std::printf("event %d %lu %lu %lu\n", m_Slot, static_cast<unsigned long>(event),
                static_cast<unsigned long>(argument), static_cast<unsigned long>(data));
    std::fflush(stdout);
    return 1;
  }
  bool SetDisplayMode(int) override { return true; }
  void BeginSkinChange() override {}
  void EndSkinChange() override {}
  bool RestoreSurfaces() override { return true; }
  void* GetHandle() override { return this; }
  const char* GetName() override { return m_Slot == 1 ? "stand-in player" : "stand-in visualizer"; }
  const char* GetDescription() override { return ""; }
  int GetImageIndex() override { return -1; }
  bool HasConfigure() override { return false; }
  bool Configure(HWND) override { return true; }
  bool HasInfo() override { return false; }
  bool ShowInfo(HWND) override { return true; }

 private:
  int m_Slot;
};

// A main window whose kind the commands change.
class KindHost : public CControlWindowHost {
 public:
  KindHost() { SetControlWindowHost(this); }
  ~KindHost() override { SetControlWindowHost(nullptr); }
  int GetMainWindowKind() override { return m_Kind; }
  void SetKind(int kind) { m_Kind = kind; }

 private:
  int m_Kind = 0;
};

bool ParseNumber(const std::string& text, long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 10);
  return *end == '\0';
}

void PrintState(CControlWindowSystem& system) {
  std::printf("state %d %d %d %d\n", system.GetMode(), system.GetSelectedMode(), system.GetPlayerModeOverride() ? 1 : 0,
              system.GetGeneration());
  std::fflush(stdout);
}

}  // namespace

TOOL_COMMAND(RunViewer, "viewer",
             "[--plugins DIR] [COMMAND...]  start the viewer window system as the player does (its settings, the "
             "viewer window providers of DIR's plug-ins, the log to stdout as it is written) with a stand-in "
             "player in slot 1 and a stand-in visualizer in slot 2, both set and enabled, which print \"event SLOT "
             "EVENT ARG DATA\" for every viewer event they get; then run the commands in order: \"mode M\", "
             "\"override 0|1\", \"suspend\", \"resume\", \"kind K\" (the main window changes to kind K), \"select "
             "INDEX\" (the provider, -1 none), \"disable SLOT\", \"enable SLOT\", each followed by \"state MODE "
             "SELECTED OVERRIDE GENERATION\"; at the end the system exits and saves its settings") {
  std::string plugIns;
  size_t first = 0;
  if (args.size() >= 1 && args[0] == "--plugins") {
    if (args.size() < 2) return tool::Fail("--plugins takes a folder");
    plugIns = args[1];
    first = 2;
  }
  // Checked before anything starts, so a bad line changes nothing.
  for (size_t i = first; i < args.size(); i += 2) {
    const std::string& command = args[i];
    if (command == "suspend" || command == "resume") {
      --i;
      continue;
    }
    long value = 0;
    if (command != "mode" && command != "override" && command != "kind" && command != "select" &&
        command != "disable" && command != "enable")
      return tool::Fail("unknown viewer command " + command);
    if (i + 1 == args.size() || !ParseNumber(args[i + 1], value)) return tool::Fail(command + " takes a number");
  }

  twltool::StdoutLogFront front;
  KindHost host;
  CPlugInLoader loader;
  if (!plugIns.empty()) loader.LoadPlugIns(plugIns.c_str());
  CControlWindowSystem& system = GetControlWindowSystem();
  system.LoadSettings();
  system.Init(&loader.GetManager());
  StandInUser player(1);
  StandInUser visualizer(2);
  system.SetUser(CControlWindowSystem::kModePlayers, &player);
  system.SetUser(CControlWindowSystem::kModeVisualizers, &visualizer);
  system.EnableUser(CControlWindowSystem::kModePlayers);
  system.EnableUser(CControlWindowSystem::kModeVisualizers);
  PrintState(system);
  for (size_t i = first; i < args.size(); ++i) {
    const std::string& command = args[i];
    long value = 0;
    if (command == "suspend") {
      system.Suspend();
    } else if (command == "resume") {
      system.Resume();
    } else {
      ParseNumber(args[++i], value);
      const int number = static_cast<int>(value);
      if (command == "mode") {
        system.SetMode(number);
      } else if (command == "override") {
        system.SetPlayerModeOverride(number != 0);
      } else if (command == "kind") {
        system.BeginMainWindowModeChange();
        host.SetKind(number);
        system.EndMainWindowModeChange();
      } else if (command == "select") {
        system.SelectProvider(number);
      } else if (command == "disable") {
        system.DisableUser(static_cast<DWORD>(number));
      } else {
        system.EnableUser(static_cast<DWORD>(number));
      }
    }
    PrintState(system);
  }
  system.Exit();
  system.SetUser(CControlWindowSystem::kModePlayers, nullptr);
  system.SetUser(CControlWindowSystem::kModeVisualizers, nullptr);
  loader.UnloadPlugIns();
  return 0;
}

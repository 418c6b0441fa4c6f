#include "ScreevoHost.h"

#include <cstdio>
#include <cstring>

#include "foundation/errors/ThreadErrorState.h"
#include "pluginhost/hostapi/HostApi.h"

namespace screevotest {
namespace {

std::string Text(const char* text) { return text ? text : "(null)"; }

void PlayerWillPlay(PLUGIN_HANDLE) { Record().calls.push_back("will play"); }
void PlayerFinished(DWORD result, PLUGIN_HANDLE) { Record().calls.push_back("finished " + std::to_string(result)); }
void PlayerSetPosition(DWORD milliseconds, PLUGIN_HANDLE) { Record().positions.push_back(milliseconds); }
void PlayerSetDuration(DWORD milliseconds, PLUGIN_HANDLE) {
  Record().calls.push_back("duration " + std::to_string(milliseconds));
}
DWORD GetVolume() { return Record().volume; }
HWND GetWindowHandle(DWORD) { return Record().mainWindow; }
BOOL AddFileExtension(HOST_FILEEXTENSIONLIST, const char* extension, const char* description, DWORD kind,
                      PLUGIN_HANDLE) {
  Record().calls.push_back("extension " + Text(extension) + "|" + Text(description) + "|" + std::to_string(kind));
  return TRUE;
}
void SeekReport(PLUGIN_HANDLE) { Record().calls.push_back("stop visualization"); }

// The slots not built yet, recording and then answering as the placeholder.
uintptr_t Placeholder() {
  GetHostApiTable()->HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
  return 0;
}
int32_t AddIcon(HICON icon) {
  Record().calls.push_back(std::string("add icon ") + (icon ? "given" : "none"));
  return 7;
}
BOOL SetFileInfo(const char* path, const char* type, DWORD typePriority, int32_t icon, DWORD iconPriority,
                 int32_t third, DWORD thirdPriority, PLUGIN_HANDLE) {
  char line[512];
  std::snprintf(line, sizeof line, "file info %s|%s|%u|%d|%u|%d|%u", path, type, typePriority, icon, iconPriority,
                third, thirdPriority);
  Record().calls.push_back(line);
  return TRUE;
}
BOOL AddFileFilterPattern(HOST_FILEFILTERLIST, const char* text, FILEFILTER_DESCRIPTION value, PLUGIN_HANDLE) {
  Record().calls.push_back("filter " + Text(text) + "|" + std::to_string(value));
  return TRUE;
}
BOOL ViewerClose(PLUGIN_HANDLE) { return static_cast<BOOL>(Placeholder()); }
BOOL ViewerSetFullScreen(DWORD*, PLUGIN_HANDLE, DWORD) { return static_cast<BOOL>(Placeholder()); }

template <typename Function, size_t N>
void Fill(HOST_ReservedSlot (&slots)[N], size_t first, size_t slot, Function* function) {
  slots[slot - first] = reinterpret_cast<HOST_ReservedSlot>(reinterpret_cast<void (*)()>(function));
}

}  // namespace

Recorded& Record() {
  static Recorded recorded;
  return recorded;
}

ScreevoHost::ScreevoHost() {
  table_ = *GetHostApiTable();
  table_.HOST_PlayerWillPlay = &PlayerWillPlay;
  table_.HOST_PlayerFinished = &PlayerFinished;
  table_.HOST_PlayerSetPosition = &PlayerSetPosition;
  table_.HOST_PlayerSetDuration = &PlayerSetDuration;
  table_.HOST_StopVisualization = &SeekReport;
  table_.HOST_GetVolume = &GetVolume;
  table_.HOST_GetWindowHandle = &GetWindowHandle;
  table_.HOST_AddFileExtension = &AddFileExtension;
  table_.HOST_AddIcon = &AddIcon;
  table_.HOST_SetFileInfo = &SetFileInfo;
  table_.HOST_AddFileFilterPattern = &AddFileFilterPattern;
  Fill(table_.reserved111_119, 111, 113, &ViewerClose);
  Fill(table_.reserved122_125, 122, 123, &ViewerSetFullScreen);
  if (!Record().mainWindow) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "screevo test main window";
    RegisterClassA(&windowClass);
    Record().mainWindow =
        CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  }
  module_ = LoadLibraryA(TWL_SCREEVO_PATH);
  EXPECT_NE(module_, nullptr) << TWL_SCREEVO_PATH;
  if (!module_) return;
  auto get = reinterpret_cast<PLUGIN_GetMainInterfaceFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(module_, PLUGIN_MAIN_INTERFACE_EXPORT)));
  main_ = get ? get() : nullptr;
  EXPECT_NE(main_, nullptr);
  if (main_) {
    EXPECT_TRUE(main_->PLUGIN_Init(&table_, module_));
  }
}

ScreevoHost::~ScreevoHost() {
  if (main_) main_->PLUGIN_Exit();
  if (module_) FreeLibrary(module_);
}

const PlayerInterface* ScreevoHost::Player() const {
  return main_ ? static_cast<const PlayerInterface*>(main_->PLUGIN_GetObject(PLUGINOBJ_PLAYER)) : nullptr;
}

bool ScreevoHost::Finished() const {
  for (const std::string& call : Record().calls) {
    if (call.rfind("finished ", 0) == 0) return true;
  }
  return false;
}

bool ScreevoHost::PumpUntilFinished(int limit) {
  MSG msg;
  for (int i = 0; i < limit && !Finished(); ++i) {
    if (GetMessageA(&msg, nullptr, 0, 0) <= 0) break;
    DispatchMessageA(&msg);
  }
  return Finished();
}

void ScreevoHost::Pump(DWORD milliseconds) {
  const DWORD end = GetTickCount() + milliseconds;
  MSG msg;
  while (static_cast<int32_t>(end - GetTickCount()) > 0) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(5);
  }
}

std::string ErrorText() {
  const char* text = GetHostApiTable()->HOST_GetErrorText();
  return text ? text : "";
}

std::string OggTone(const std::string& folder, const std::string& name, int buffers, std::string* decoded) {
  const std::string path = folder + "/" + name;
  EXPECT_EQ(twltest::RunCommand("gst-launch-1.0 -q audiotestsrc num-buffers=" + std::to_string(buffers) +
                                " samplesperbuffer=1024 freq=660 volume=0.4 ! audio/x-raw,rate=44100,channels=2 ! "
                                "audioconvert ! vorbisenc ! oggmux ! filesink location=" +
                                Quote(path)),
            0);
  EXPECT_EQ(twltest::RunCommand("gst-launch-1.0 -q filesrc location=" + Quote(path) +
                                " ! decodebin ! audioconvert ! audio/x-raw,format=S16LE ! filesink location=" +
                                Quote(path + ".raw")),
            0);
  *decoded = twltest::ReadFile(path + ".raw");
  return path;
}

}  // namespace screevotest

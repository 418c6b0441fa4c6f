// twltool auxwindow: an aux window of the built-in skin on the virtual
// screen, dumped with its mask; with --move it is dragged by injected
// mouse input and its place stored in the settings key.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/ui/UserInterface.h"
#include "display/auxwindow/AuxWindow.h"
#include "driver/Command.h"
#include "driver/Numbers.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/MemoryStream.h"
#include "skins/skin/Skin.h"
#include "twlwin/testing_gdi.h"
#include "twlwin/testing_user.h"

namespace {

constexpr int kMaxSize = 4096;

struct Options {
  int width = 0, height = 0;
  std::string png, mask, name = "AuxWindow";
  bool move = false;
  int dx = 0, dy = 0;
};

bool ParseSize(const std::string& text, int& value) {
  uint64_t parsed = 0;
  if (!tool::ParseUnsigned(text, parsed, kMaxSize) || parsed < 1) return false;
  value = static_cast<int>(parsed);
  return true;
}

bool ParseShift(const std::string& text, int& dx, int& dy) {
  const size_t comma = text.find(',');
  if (comma == std::string::npos) return false;
  int64_t x = 0, y = 0;
  if (!tool::ParseSigned(text.substr(0, comma), x) || !tool::ParseSigned(text.substr(comma + 1), y)) return false;
  if (x < -kMaxSize || x > kMaxSize || y < -kMaxSize || y > kMaxSize) return false;
  dx = static_cast<int>(x);
  dy = static_cast<int>(y);
  return true;
}

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& problem) {
  if (args.size() < 3 || !ParseSize(args[0], options.width) || !ParseSize(args[1], options.height)) {
    problem = "auxwindow needs W H OUT.png, W and H from 1 to 4096";
    return false;
  }
  options.png = args[2];
  for (size_t at = 3; at < args.size(); at += 2) {
    if (at + 1 >= args.size()) {
      problem = "auxwindow: " + args[at] + " needs a value";
      return false;
    }
    const std::string& value = args[at + 1];
    if (args[at] == "--mask") {
      options.mask = value;
    } else if (args[at] == "--name" && !value.empty()) {
      options.name = value;
    } else if (args[at] == "--move" && ParseShift(value, options.dx, options.dy)) {
      options.move = true;
    } else {
      problem = "auxwindow: unknown option or bad value '" + args[at] + " " + value + "'";
      return false;
    }
  }
  return true;
}

void LoadBuiltinSkin(CSkin& skin) {
  HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(131), "RAWDATA");
  HGLOBAL loaded = resource ? LoadResource(nullptr, resource) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) ThrowError<CError>(CStr("twltool"), CStr("this program carries no built-in skin"));
  const DWORD size = SizeofResource(nullptr, resource);
  BYTE* copy = new BYTE[size];
  std::memcpy(copy, bytes, size);
  CMemoryStream stream;
  constexpr DWORD kReadSeek = 1 | 4;
  stream.Open(copy, size, kReadSeek, 0, false);
  skin.LoadCompiled(stream);
}

// The mask as a binary PGM (255 inside); counts where the window's shape
// on the screen disagrees with it.
bool WriteMask(CAuxWindow& window, const std::string& path, int& differing) {
  const int width = window.GetWidth(), height = window.GetHeight();
  BYTE* mask = nullptr;
  if (!window.CreateWindowMask(mask, width, height)) return false;
  std::vector<COLORREF> shown(static_cast<size_t>(width) * height);
  TwlTestGetWindowPixels(window.GetWindowHandle(), shown.data(), width, height);
  std::string bytes = "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
  differing = 0;
  for (size_t i = 0; i < shown.size(); ++i) {
    const bool inside = !mask || mask[i] != 0;
    bytes += static_cast<char>(inside ? 255 : 0);
    if (inside != (shown[i] != CLR_INVALID)) ++differing;
  }
  delete[] mask;
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

void Drag(CAuxWindow& window, int dx, int dy) {
  // From the middle, which has no control.
  const RECT& place = window.GetRect();
  const int x = place.left + window.GetWidth() / 2, y = place.top + window.GetHeight() / 2;
  TwlTestMouseButton(VK_LBUTTON, TRUE, x, y);
  TwlTestPumpMessages();
  TwlTestMouseMove(x + dx / 2, y + dy / 2);
  TwlTestPumpMessages();
  TwlTestMouseMove(x + dx, y + dy);
  TwlTestPumpMessages();
  TwlTestMouseButton(VK_LBUTTON, FALSE, x + dx, y + dy);
  TwlTestPumpMessages();
}

std::string Place(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
         std::to_string(r.bottom - r.top);
}

int Run(const Options& options) {
  CUserInterface& ui = GetUserInterface();
  ui.InitDisplay();
  if (!ui.GetPrimarySurface()) return tool::Fail("auxwindow: the display has no primary surface");
  CSkin skin;
  LoadBuiltinSkin(skin);
  if (HRESULT result = ui.GetDDSkin().Create(skin); FAILED(result)) return tool::Fail("auxwindow: the skin cannot be built");
  int status = 0;
  {
    CAuxWindow window;
    RECT place{};
    window.LoadWindowRect(&place, options.name.c_str(), options.width, options.height, nullptr, 0, 0);
    window.Create(options.name.c_str(), options.name.c_str(), place.left, place.top, options.width, options.height,
                  nullptr, nullptr, true);
    window.Show(true);
    TwlTestPumpMessages();
    window.Paint(nullptr);
    std::printf("window %s %s\n", options.name.c_str(), Place(window.GetRect()).c_str());
    if (options.move) {
      Drag(window, options.dx, options.dy);
      window.Paint(nullptr);
      if (!window.StoreWindowRect(nullptr, nullptr)) status = tool::Fail("auxwindow: the place cannot be stored");
      std::printf("moved to %s, stored as %s_WindowRect\n", Place(window.GetRect()).c_str(), options.name.c_str());
    }
    if (!options.mask.empty()) {
      int differing = 0;
      if (!WriteMask(window, options.mask, differing))
        status = tool::Fail("auxwindow: cannot write '" + options.mask + "'");
      else
        std::printf("mask %dx%d, %d pixels differ from the window's shape\n", window.GetWidth(), window.GetHeight(),
                    differing);
    }
    if (!TwlTestSaveScreenPng(options.png.c_str())) status = tool::Fail("auxwindow: cannot write '" + options.png + "'");
    window.Destroy();
  }
  ui.GetDDSkin().Release();
  ui.ExitDisplay();
  return status;
}

}  // namespace

TOOL_COMMAND(RunAuxWindow, "auxwindow",
             "W H OUT.png [--mask OUT.pgm] [--name NAME] [--move DX,DY]  open a resizable aux window of the built-in "
             "skin (W x H, named NAME, at its stored place or centred), write the virtual screen to OUT.png and the "
             "window's mask to OUT.pgm; --move drags it by DX,DY with the mouse and stores its place as "
             "NAME_WindowRect. Prints the window's place, the place after the move and how many pixels of the "
             "window's shape differ from the mask") {
  Options options;
  std::string problem;
  if (!ParseOptions(args, options, problem)) return tool::Fail(problem);
  try {
    return Run(options);
  } catch (CError* error) {
    const std::string text = std::string(error->GetCaption().c_str()) + ": " + error->GetText().c_str();
    DisposeError(error);
    return tool::Fail("auxwindow: " + text);
  }
}

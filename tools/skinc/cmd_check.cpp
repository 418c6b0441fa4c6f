// skinc check FILE: loads a whole compiled skin and lists what it holds.
#include <cstdio>
#include <string>

#include "Reporting.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "skins/skin/Skin.h"

namespace {

std::string Size(const CDIBitmap* bitmap) {
  return bitmap ? std::to_string(bitmap->GetWidth()) + "x" + std::to_string(bitmap->GetHeight()) : "?";
}

std::string MainWindow(CMainWindowSkin* main) {
  if (!main) return "none";
  int buttons = 0, animated = 0;
  for (int i = 0; i < CMainWindowSkin::kButtonCount; ++i) {
    buttons += main->GetButton(i).IsDefined();
    animated += main->GetAnimButton(i).IsDefined();
  }
  std::string text = Size(main->GetAnimation().GetBase()) + ", " + std::to_string(buttons) + " buttons, " +
                     std::to_string(animated) + " animated buttons, frames " +
                     std::to_string(main->GetAnimation().GetFrameCount());
  for (int k = 0; k < CMainWindowSkin::kBarCount; ++k) {
    if (!main->GetBar(k).IsDefined()) continue;
    text += std::string(", ") + CMainWindowSkin::GetBarName(k) + (main->GetBar(k).GetScript() ? " (script)" : "");
  }
  return text;
}

std::string ControlWindow(CControlWindowSkin* control) {
  if (!control) return "none";
  int height = 0;
  for (int i = 0; i < CControlWindowSkin::kBandCount; ++i) height += control->GetPart(i)->GetHeight();
  return std::to_string(control->GetPart(0)->GetWidth()) + "x" + std::to_string(height) +
         (control->GetColorSet() ? ", own colours" : "") + (control->GetFontSet() ? ", own fonts" : "");
}

}  // namespace

TOOL_COMMAND(Check, "check",
             "FILE  load the whole compiled skin and print its name and versions, then per mode\n"
             "      \"MainWindowN: WxH, B buttons, A animated buttons, frames F[, bars]\" or none and\n"
             "      \"ControlWindowN: WxH[, own colours][, own fonts]\" or none, \"AuxWindow: WxH\",\n"
             "      \"Fonts: names\" and \"Colors: file|default\"")
{
  if (args.size() != 1) return tool::Fail("usage: check FILE");
  return skinc::RunReportingErrors([&] {
    CSkin skin;
    skin.LoadCompiledFile(args[0].c_str());
    const CSkinInfo& info = skin.GetInfo();
    std::printf("Name: %s\nVersions: %s %s\n", info.m_Name.c_str(), FormatPlayerVersion(info.m_MinVersion).c_str(),
                FormatPlayerVersion(info.m_DevelopedForVersion).c_str());
    for (int mode = 0; mode < CSkin::kModeCount; ++mode) {
      std::printf("MainWindow%d: %s\n", mode, MainWindow(skin.GetMainWindowSkin(mode)).c_str());
      std::printf("ControlWindow%d: %s\n", mode, ControlWindow(skin.GetControlWindowSkin(mode)).c_str());
    }
    CAuxWindowSkin& aux = *skin.GetAuxWindowSkin();
    const DWORD width = aux.GetPart(0)->GetWidth() + aux.GetPart(1)->GetWidth() + aux.GetPart(2)->GetWidth();
    const DWORD height = aux.GetPart(0)->GetHeight() + aux.GetPart(3)->GetHeight() + aux.GetPart(6)->GetHeight();
    std::printf("AuxWindow: %lux%lu\n", static_cast<unsigned long>(width), static_cast<unsigned long>(height));
    std::string fonts;
    for (int i = 0; i < CSkinFontSet::kFontCount; ++i) {
      if (!skin.GetFontSet()->GetFont(i)) continue;
      if (!fonts.empty()) fonts += ' ';
      fonts += CSkinFontSet::GetFontName(i);
    }
    std::printf("Fonts: %s\nColors: %s\n", fonts.c_str(), skin.GetColorSet()->IsLoaded() ? "file" : "default");
    return 0;
  });
}

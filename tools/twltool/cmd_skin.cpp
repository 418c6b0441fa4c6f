// twltool skin: builds the drawable skin from the built-in skin, a skin
// folder or a compiled skin file in a display mode, and writes every
// surface it made as PNG, with a line of text from each writer.
#include <windows.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "DisplayModeText.h"
#include "app/ui/UserInterface.h"
#include "display/skinrender/DDSkin.h"
#include "display/skinrender/DDWriter.h"
#include "display/state/DisplayState.h"
#include "driver/Command.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/Error.h"
#include "skins/skin/Skin.h"
#include "twlwin/testing_display.h"
#include "twlwin/testing_gdi.h"

namespace {

constexpr const char* kSampleText = "The quick brown fox jumps over the lazy dog. 0123456789";

std::string Code(HRESULT result) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(result));
  return text;
}

// The skin as the player loads it; a skin without a mini mode borrows the
// built-in one.
void LoadSkin(CSkin& skin, const std::string& name) {
  GetUserInterface().LoadSkin(skin, name == "builtin" ? CUserInterface::kDefaultSkinName : name.c_str());
}

class Dumper {
 public:
  explicit Dumper(std::string folder) : folder_(std::move(folder)) {}

  bool Surface(IDirectDrawSurface2* surface, const std::string& name) {
    if (!surface) return true;
    const std::string path = folder_ + "/" + name + ".png";
    if (!(CDisplayState::GetCurrent()->IsPalettized() ? SaveThroughPalette(surface, path) : SaveThroughDC(surface, path)))
      return Failed(name);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    surface->GetSurfaceDesc(&desc);
    std::printf("%s.png %lux%lu\n", name.c_str(), static_cast<unsigned long>(desc.dwWidth),
                static_cast<unsigned long>(desc.dwHeight));
    return true;
  }

  // A picture kept in memory (the frame parts), through a surface of its own.
  bool Picture(const CDIBitmap* picture, const std::string& name) {
    if (!picture) return true;
    IDirectDrawSurface2* surface = nullptr;
    if (FAILED(CDDSkinBase::CreateSurface(*picture, nullptr, &surface, false))) return Failed(name);
    const bool done = Surface(surface, name);
    surface->Release();
    return done;
  }

  // Every glyph surface and one line of text on the colour of skin colour 0's
  // opposite, so that the glyphs' transparent background shows.
  bool Writer(const CDDWriter* writer, const std::string& name) {
    if (!writer) return true;
    bool done = true;
    for (INT index = 0; index < writer->GetSurfaceCount(); ++index)
      done &= Surface(writer->GetSurface(index), name + "_glyphs" + std::to_string(index));
    const INT width = writer->GetTextWidth(kSampleText);
    if (width <= 0 || writer->GetHeight() <= 0) return done;
    IDirectDrawSurface2* line = nullptr;
    const CDisplayState& display = *CDisplayState::GetCurrent();
    if (FAILED(CDDSkinBase::CreateOffscreenSurface(display, static_cast<DWORD>(width + 4),
                                                   static_cast<DWORD>(writer->GetHeight() + 4), &line)))
      return Failed(name + "_text");
    DDBLTFX fx{};
    fx.dwSize = 100;
    fx.dwFillColor = display.ConvertColor(0x808080);
    line->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    DDBLTFX plain{};
    plain.dwSize = 100;
    if (HRESULT result = writer->WriteText(line, 2, 2, kSampleText, DDBLT_WAIT | DDBLT_KEYSRC, &plain); FAILED(result))
      done = Failed(name + "_text (" + Code(result) + ")");
    else
      done &= Surface(line, name + "_text");
    line->Release();
    return done;
  }

 private:
  static bool SaveThroughDC(IDirectDrawSurface2* surface, const std::string& path) {
    HDC dc = nullptr;
    if (FAILED(surface->GetDC(&dc))) return false;
    const bool saved = TwlTestSaveDcPng(dc, path.c_str());
    surface->ReleaseDC(dc);
    return saved;
  }

  // The pixels of an 8-bit display are indices into the skin's palette,
  // which the system palette a DC shows need not hold: each index is looked
  // up in the palette itself. The key entry shows the key colour.
  static bool SaveThroughPalette(IDirectDrawSurface2* surface, const std::string& path) {
    const CDisplayState& display = *CDisplayState::GetCurrent();
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr))) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(desc.dwWidth);
    info.bmiHeader.biHeight = -static_cast<LONG>(desc.dwHeight);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (picture) {
      const auto& entries = display.GetPaletteEntries();
      auto* out = static_cast<DWORD*>(bits);
      for (DWORD y = 0; y < desc.dwHeight; ++y) {
        const BYTE* row = static_cast<const BYTE*>(desc.lpSurface) + static_cast<ptrdiff_t>(y) * desc.lPitch;
        for (DWORD x = 0; x < desc.dwWidth; ++x) {
          DWORD color = entries[row[x]];
          if (row[x] == CDisplayState::kKeyIndex) color = CDisplayState::kKeyColor;
          if (color == CDisplayState::kFreeEntry) color = 0;
          // A DIB holds blue in the low byte.
          *out++ = (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
        }
      }
    }
    surface->Unlock(nullptr);
    const bool saved = picture && TwlTestSaveBitmapPng(picture, path.c_str());
    if (picture) DeleteObject(picture);
    return saved;
  }

  static bool Failed(const std::string& name) {
    std::fprintf(stderr, "twltool: cannot write %s\n", name.c_str());
    return false;
  }

  std::string folder_;
};

bool DumpMainWindow(Dumper& dump, CDDSkin& skin, int mode) {
  CDDMainWindowSkin& window = skin.GetMainWindowSkin(mode);
  const std::string prefix = "mode" + std::to_string(mode) + "_";
  const CDDBitmapAnimation& background = window.GetAnimation();
  bool done = dump.Surface(background.GetBaseSurface(), prefix + "background");
  for (INT frame = 0; frame < background.GetFrameCount(); ++frame)
    done &= dump.Surface(background.GetFrameSurface(frame), prefix + "frame" + std::to_string(frame));
  for (int index = 0; index < CDDMainWindowSkin::kButtonCount; ++index) {
    for (int state = 0; state < 4; ++state) {
      const std::string suffix = std::to_string(index) + "_state" + std::to_string(state);
      done &= dump.Surface(window.GetButton(index)->GetSurface(state), prefix + "button" + suffix);
      done &= dump.Surface(window.GetAnimButton(index)->GetSurface(state), prefix + "animbutton" + suffix);
    }
  }
  for (int index = 0; index < CDDMainWindowSkin::kBarCount; ++index) {
    CDDBarSkin& bar = *window.GetBar(index);
    done &= dump.Surface(bar.GetSurface(), prefix + "bar" + std::to_string(index));
    done &= dump.Picture(bar.GetBitmap(), prefix + "bar" + std::to_string(index));
  }
  for (int index = 0; index < CDDMainWindowSkin::kFontCount; ++index)
    done &= dump.Writer(window.GetOwnFont(index), prefix + "font" + std::to_string(index));
  return done;
}

bool DumpSkin(Dumper& dump, CDDSkin& skin) {
  bool done = true;
  for (int mode = 0; mode < CDDSkin::kModeCount; ++mode) done &= DumpMainWindow(dump, skin, mode);
  for (int mode = 0; mode < CDDSkin::kModeCount; ++mode) {
    const CDDControlWindowSkin& control = skin.GetControlWindowSkin(mode);
    if (mode > 0 && &control == &skin.GetControlWindowSkin(0)) continue;
    for (int part = 0; part < CDDControlWindowSkin::kPartCount; ++part)
      done &= dump.Picture(control.GetPart(part), "control" + std::to_string(mode) + "_part" + std::to_string(part));
  }
  const CDDAuxWindowSkin& frame = skin.GetAuxWindowSkin();
  for (int part = 0; part < CDDAuxWindowSkin::kPartCount; ++part)
    done &= dump.Picture(frame.GetPart(part), "aux_part" + std::to_string(part));
  done &= dump.Writer(frame.GetCaptionWriter(skin), "aux_caption");
  for (int index = 0; index < CDDSkinFontSet::kFontCount; ++index)
    done &= dump.Writer(skin.GetFontSet().GetFont(index), "font" + std::to_string(index));
  return done;
}

// OUTDIR and the folders above it, made when missing; an error text when
// it cannot be a folder to write into, so that the run fails once instead
// of once per surface.
std::string MakeOutputFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!error && !std::filesystem::is_directory(folder, error)) error = std::make_error_code(std::errc::not_a_directory);
  return error ? "cannot make the folder '" + folder + "': " + error.message() : std::string();
}

int Run(const std::string& name, const std::string& folder) {
  CUserInterface& ui = GetUserInterface();
  try {
    ui.InitDirectDraw();
    ui.InitDisplayModeData();
  } catch (CError* error) {
    const std::string text = std::string(error->GetCaption().c_str()) + ": " + error->GetText().c_str();
    DisposeError(error);
    ui.ExitDisplay();
    return tool::Fail(text);
  }
  if (ui.IsDisplayUnsupported()) {
    ui.ExitDisplay();
    return tool::Fail("the display mode cannot be drawn in");
  }

  int status = 0;
  try {
    CSkin skin;
    LoadSkin(skin, name);
    CDDSkin built;
    if (HRESULT result = built.Create(skin); FAILED(result)) {
      status = tool::Fail("building the skin failed (" + Code(result) + ")");
    } else if (const std::string error = MakeOutputFolder(folder); !error.empty()) {
      status = tool::Fail(error);
    } else {
      Dumper dump(folder);
      if (!DumpSkin(dump, built)) status = 1;
    }
  } catch (CError* error) {
    status = tool::Fail(std::string(error->GetCaption().c_str()) + ": " + error->GetText().c_str());
    DisposeError(error);
  }
  ui.ExitDisplay();
  return status;
}

}  // namespace

TOOL_COMMAND(RunSkin, "skin",
             "builtin|FOLDER/|FILE OUTDIR [--mode WxHxBPP]\n"
             "      build the drawable skin in a display mode (8, 15, 16, 24, 32 bits; default TWL_DISPLAY or\n"
             "      1024x768x32) and write each surface into OUTDIR (made when missing) as PNG, printing\n"
             "      \"NAME.png WxH\" per file:\n"
             "      modeM_background, modeM_frameN, modeM_buttonI_stateS, modeM_animbuttonI_stateS, modeM_barI,\n"
             "      modeM_fontI_glyphsK and _text, controlM_partP, aux_partP, aux_caption_*, fontI_*") {
  if (args.size() != 2 && args.size() != 4) return tool::Fail("skin takes builtin|FOLDER/|FILE OUTDIR [--mode WxHxBPP]");
  if (args.size() == 4) {
    int width = 0, height = 0, depth = 0;
    if (args[2] != "--mode" || !ParseDisplayMode(args[3], width, height, depth) || !TwlTestSetDisplayMode(width, height, depth))
      return tool::Fail("the mode is --mode WIDTHxHEIGHTxBITS with 8, 15, 16, 24 or 32 bits, such as 800x600x16");
  }
  return Run(args[0], args[1]);
}

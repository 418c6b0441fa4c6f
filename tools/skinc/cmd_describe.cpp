// skinc describe KIND FOLDER [PREFIX] [--compiled]: one kind of element
// description loaded from a skin folder, printed as "Key: value" lines.
// With --compiled it is written to its compiled form and read back first,
// so both forms can be compared.
#include <cstdio>
#include <functional>
#include <string>

#include "Reporting.h"
#include "foundation/bitmaps/BitmapFont.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/streams/MemoryStream.h"
#include "skins/animation/BitmapAnimation.h"
#include "skins/base/SkinPointers.h"
#include "skins/frames/AuxWindowSkin.h"
#include "skins/frames/ControlWindowSkin.h"
#include "skins/mainwindow/MainWindowSkin.h"
#include "skins/masks/Mask.h"

namespace {

struct Options {
  std::string kind;
  std::string folder;
  std::string prefix;
  bool compiled = false;
};

bool ParseOptions(const tool::Args& args, Options& options) {
  std::vector<std::string> plain;
  for (const std::string& arg : args) {
    if (arg == "--compiled")
      options.compiled = true;
    else
      plain.push_back(arg);
  }
  if (plain.size() < 2 || plain.size() > 3) return false;
  options.kind = plain[0];
  options.folder = plain[1];
  if (!skinc::IsFolderName(options.folder)) options.folder += "/";
  if (plain.size() == 3) options.prefix = plain[2];
  return true;
}

// Saves the description and loads it into `target`.
template <class Description>
void ThroughCompiledForm(const Description& source, Description& target) {
  CMemoryStream stream;
  stream.Open(nullptr, 0, kStreamRead | kStreamWrite | kStreamSeek, 65536, false);
  source.SaveCompiled(stream);
  const DWORD length = static_cast<DWORD>(stream.GetLength(true, nullptr));
  stream.Seek(0, kSeekFromStart, nullptr);
  target.LoadCompiled(stream, length);
}

std::string Size(const CDIBitmap* bitmap) {
  return bitmap ? std::to_string(bitmap->GetWidth()) + "x" + std::to_string(bitmap->GetHeight()) : "none";
}

std::string Rect(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

std::string FontText(const CBitmapFont* font) {
  if (!font) return "none";
  return std::to_string(font->GetGlyphCount()) + " glyphs, " + std::to_string(font->GetGlyphHeight()) + " high";
}

std::string Expansion(INT type, bool cut) {
  return std::string(type == CVarSizeWindowSkin::kTile ? "tile" : "stretch") + (cut ? ",cut" : ",whole");
}

template <class Masks>
std::string MaskList(int count, Masks masks) {
  std::string list;
  for (int i = 0; i < count; ++i) {
    if (!masks(i)) continue;
    if (!list.empty()) list += ',';
    list += std::to_string(i);
  }
  return list.empty() ? "none" : list;
}

void PrintAux(const CAuxWindowSkin& aux) {
  for (int i = 0; i < CAuxWindowSkin::kPartCount; ++i) std::printf("Part%d: %s\n", i, Size(aux.GetPart(i)).c_str());
  std::printf("Masks: %s\n", MaskList(CAuxWindowSkin::kPartCount, [&](int i) { return aux.GetMask(i); }).c_str());
  std::printf("Margins: %d,%d,%d,%d\n", aux.GetMargin(0), aux.GetMargin(1), aux.GetMargin(2), aux.GetMargin(3));
  std::printf("HorzExpansion: %s\n", Expansion(aux.GetHorzExpansionType(), aux.GetHorzExpansionCut()).c_str());
  std::printf("VertExpansion: %s\n", Expansion(aux.GetVertExpansionType(), aux.GetVertExpansionCut()).c_str());
  std::printf("Caption: %s\n", Rect(aux.GetCaptionRect()).c_str());
  std::printf("CaptionFont: %s\n", FontText(aux.GetCaptionFont()).c_str());
}

int DescribeAux(const Options& options) {
  CAuxWindowSkin aux;
  aux.LoadFromFolder(options.folder.c_str());
  if (!options.compiled) {
    PrintAux(aux);
    return 0;
  }
  CAuxWindowSkin read;
  ThroughCompiledForm(aux, read);
  PrintAux(read);
  return 0;
}

void PrintControl(CControlWindowSkin& control) {
  for (int i = 0; i < CControlWindowSkin::kBandCount; ++i) std::printf("Band%d: %s\n", i, Size(control.GetPart(i)).c_str());
  std::printf("Masks: %s\n", MaskList(CControlWindowSkin::kBandCount, [&](int i) { return control.GetMask(i); }).c_str());
  std::printf("Margins: %d,%d,%d,%d\n", control.GetMargin(0), control.GetMargin(1), control.GetMargin(2),
              control.GetMargin(3));
  std::printf("Expansion: %s\n", Expansion(control.GetExpansionType(), control.GetExpansionCut()).c_str());
  std::printf("Colors: %s\n", control.GetColorSet() ? "own" : "skin");
  std::printf("Fonts: %s\n", control.GetFontSet() ? "own" : "skin");
}

int DescribeControl(const Options& options) {
  CControlWindowSkin control;
  control.Load(options.folder.c_str(), options.prefix.c_str());
  if (!options.compiled) {
    PrintControl(control);
    return 0;
  }
  CControlWindowSkin read;
  ThroughCompiledForm(control, read);
  PrintControl(read);
  return 0;
}

void PrintAnimation(CBitmapAnimation& animation) {
  std::printf("Base: %s\n", Size(animation.GetBase()).c_str());
  std::printf("Frames: %lu\n", static_cast<unsigned long>(animation.GetFrameCount()));
  std::string delays = std::to_string(animation.GetFirstDelay());
  for (DWORD i = 0; i < animation.GetFrameCount(); ++i) {
    delays += ',';
    delays += std::to_string(animation.GetDelays()[i]);
  }
  std::printf("Delays: %s\n", delays.c_str());
  const auto& transitions = animation.GetTransitions();
  for (size_t k = 0; k < transitions.size(); ++k) {
    const auto& t = transitions[k];
    if (t.type == CBitmapAnimation::kFade)
      std::printf("Transition%zu: fade,%d,%d\n", k + 1, t.count, t.delay);
    else
      std::printf("Transition%zu: none\n", k + 1);
  }
  animation.Prepare();
  std::printf("Prepared: %zu\n", animation.GetFrames().size());
}

int DescribeAnimation(const Options& options) {
  const char* name = "MainWindowNormal";
  CBitmapAnimation animation;
  CStr errors;
  if (!animation.LoadFromFolder(options.folder.c_str(), options.prefix.c_str(), name, errors))
    return tool::Fail(errors.c_str());
  BitmapPtr base(CSkinBase::LoadBitmap(options.folder.c_str(), options.prefix.c_str(), name, ""));
  if (!base) return tool::Fail("no picture " + options.prefix + name + ".bmp");
  if (!animation.SetBase(base.get(), nullptr, errors)) return tool::Fail(errors.c_str());
  base.release();
  if (!options.compiled) {
    PrintAnimation(animation);
    return 0;
  }
  animation.PrepareForSave();
  CBitmapAnimation read;
  ThroughCompiledForm(animation, read);
  PrintAnimation(read);
  return 0;
}

void PrintButton(const char* key, const CButtonSkinBase& button) {
  if (!button.IsDefined()) return;
  std::printf("%s: %s %s\n", key, Rect(button.GetRect()).c_str(), button.GetMask() ? "mask" : "nomask");
}

void PrintButtons(CMainWindowSkin& main) {
  for (int i = 0; i < CMainWindowSkin::kButtonCount; ++i) PrintButton(CMainWindowSkin::GetButtonKey(i), main.GetButton(i));
  for (int i = 0; i < CMainWindowSkin::kButtonCount; ++i)
    PrintButton((std::string("Anim") + CMainWindowSkin::GetButtonKey(i)).c_str(), main.GetAnimButton(i));
}

int DescribeButtons(const Options& options) {
  CMainWindowSkin main;
  main.Load(options.folder.c_str(), options.prefix.c_str());
  if (!options.compiled) {
    PrintButtons(main);
    return 0;
  }
  CMemoryStream stream;
  stream.Open(nullptr, 0, kStreamRead | kStreamWrite | kStreamSeek, 65536, false);
  main.SaveCompiled(stream);
  const DWORD length = static_cast<DWORD>(stream.GetLength(true, nullptr));
  stream.Seek(0, kSeekFromStart, nullptr);
  CMainWindowSkin read;
  read.LoadCompiled(stream, length);
  PrintButtons(read);
  return 0;
}

}  // namespace

TOOL_COMMAND(Describe, "describe",
             "button|anim|aux|control FOLDER [PREFIX] [--compiled]  load one description from a skin folder (the\n"
             "      buttons and the animation are those of the PREFIX main window) and print it as \"Key: value\"\n"
             "      lines: each defined button \"ButtonX|AnimButtonX: left,top,right,bottom mask|nomask\"; part or\n"
             "      band sizes (WxH), parts with masks, margins, expansion (stretch|tile,cut|whole), caption\n"
             "      rectangle and font; base, frame count, delays, transitions and prepared entries. --compiled\n"
             "      prints it after saving and loading its compiled form")
{
  Options options;
  if (!ParseOptions(args, options))
    return tool::Fail("usage: describe button|anim|aux|control FOLDER [PREFIX] [--compiled]");
  return skinc::RunReportingErrors([&] {
    if (options.kind == "aux") return DescribeAux(options);
    if (options.kind == "control") return DescribeControl(options);
    if (options.kind == "anim") return DescribeAnimation(options);
    if (options.kind == "button") return DescribeButtons(options);
    return tool::Fail("unknown kind '" + options.kind + "'");
  });
}

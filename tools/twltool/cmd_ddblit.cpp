// twltool ddblit: copies one BMP picture onto another through DirectDraw
// surfaces in the display's pixel format, optionally skipping the pixels of
// a colour key, and writes the result as PNG. The source may reach past
// the destination's edges: a clipper cuts it there.
#include <windows.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "DibSection.h"
#include "DisplayModeText.h"
#include "driver/Command.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/Error.h"
#include "twlwin/testing_display.h"
#include "twlwin/testing_gdi.h"

namespace {

// Far beyond any picture, small enough that position + size stays in range.
constexpr int kMaxOffset = 1 << 20;

bool ParseInt(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  auto [stop, problem] = std::from_chars(text.data(), end, value);
  return problem == std::errc() && stop == end;
}

bool ParseKey(const std::string& text, COLORREF& key) {
  if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
  const unsigned long rgb = std::stoul(text, nullptr, 16);
  key = RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF);
  return true;
}

bool IsSurfaceDepth(int depth) { return depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32; }

// Releases a COM object when the scope ends.
template <class T>
struct Held {
  T* object = nullptr;
  ~Held() {
    if (object) object->Release();
  }
  T* operator->() const { return object; }
};

std::string Failure(const char* what, HRESULT result) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(result));
  return std::string(what) + " failed (" + code + ")";
}

// The picture as a 32-bit top-down DIB section; null, with the reason, when
// the file cannot be read.
HBITMAP ReadPicture(const std::string& path, SIZE& size, std::string& problem) {
  CDIBitmap picture;
  HBITMAP section = nullptr;
  try {
    picture.Load(path.c_str());
    section = twltool::MakeDibSection(picture);
  } catch (CError* error) {
    problem = "cannot read " + path + ": " + error->GetText().c_str();
    DisposeError(error);
    return nullptr;
  }
  size = SIZE{static_cast<LONG>(picture.GetWidth()), static_cast<LONG>(picture.GetHeight())};
  if (!section) problem = "no room for the picture " + path;
  return section;
}

class Blitter {
 public:
  std::string Start() {
    HMODULE library = LoadLibraryA("ddraw.dll");
    FARPROC found = library ? GetProcAddress(library, "DirectDrawCreate") : nullptr;
    if (!found) return "ddraw.dll offers no DirectDrawCreate";
    auto create = reinterpret_cast<LPDIRECTDRAWCREATE>(reinterpret_cast<void (*)()>(found));
    Held<IDirectDraw> first;
    if (HRESULT r = create(nullptr, &first.object, nullptr); FAILED(r)) return Failure("DirectDrawCreate", r);
    if (HRESULT r = first->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&draw_.object)); FAILED(r))
      return Failure("IDirectDraw2", r);
    if (HRESULT r = draw_->SetCooperativeLevel(nullptr, DDSCL_NORMAL); FAILED(r))
      return Failure("SetCooperativeLevel", r);
    return "";
  }

  // A surface of the picture's size holding the picture, drawn in by GDI.
  std::string MakeSurface(HBITMAP picture, SIZE size, Held<IDirectDrawSurface2>& surface) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.dwWidth = static_cast<DWORD>(size.cx);
    desc.dwHeight = static_cast<DWORD>(size.cy);
    Held<IDirectDrawSurface> first;
    if (HRESULT r = draw_->CreateSurface(&desc, &first.object, nullptr); FAILED(r)) return Failure("CreateSurface", r);
    if (HRESULT r = first->QueryInterface(IID_IDirectDrawSurface2, reinterpret_cast<void**>(&surface.object));
        FAILED(r))
      return Failure("IDirectDrawSurface2", r);
    if (!picture) return "";
    HDC target = nullptr;
    if (HRESULT r = surface->GetDC(&target); FAILED(r)) return Failure("GetDC", r);
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(source, picture);
    BOOL copied = BitBlt(target, 0, 0, size.cx, size.cy, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
    surface->ReleaseDC(target);
    return copied ? "" : "copying the picture into its surface failed";
  }

  // The display pixel a colour becomes, as GDI converts it.
  std::string PixelOf(COLORREF colour, DWORD& pixel) {
    Held<IDirectDrawSurface2> probe;
    if (std::string problem = MakeSurface(nullptr, SIZE{1, 1}, probe); !problem.empty()) return problem;
    HDC dc = nullptr;
    if (HRESULT r = probe->GetDC(&dc); FAILED(r)) return Failure("GetDC", r);
    SetPixel(dc, 0, 0, colour);
    probe->ReleaseDC(dc);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    if (HRESULT r = probe->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr); FAILED(r))
      return Failure("Lock", r);
    pixel = 0;
    std::memcpy(&pixel, desc.lpSurface, (desc.ddpfPixelFormat.dwRGBBitCount + 7) / 8);
    probe->Unlock(nullptr);
    return "";
  }

  // A clipper over the whole target, so that the source may reach past it.
  std::string ClipToItself(IDirectDrawSurface2* target, SIZE size) {
    Held<IDirectDrawClipper> clipper;
    if (HRESULT r = draw_->CreateClipper(0, &clipper.object, nullptr); FAILED(r)) return Failure("CreateClipper", r);
    std::vector<BYTE> bytes(sizeof(RGNDATAHEADER) + sizeof(RECT));
    auto* data = reinterpret_cast<RGNDATA*>(bytes.data());
    RECT whole{0, 0, size.cx, size.cy};
    data->rdh = RGNDATAHEADER{sizeof(RGNDATAHEADER), RDH_RECTANGLES, 1, sizeof(RECT), whole};
    std::memcpy(bytes.data() + sizeof(RGNDATAHEADER), &whole, sizeof whole);
    if (HRESULT r = clipper->SetClipList(data, 0); FAILED(r)) return Failure("SetClipList", r);
    if (HRESULT r = target->SetClipper(clipper.object); FAILED(r)) return Failure("SetClipper", r);
    return "";
  }

 private:
  Held<IDirectDraw2> draw_;
};

struct Request {
  std::string target, source, output;
  int x = 0, y = 0;
  bool keyed = false;
  COLORREF key = 0;
};

int Run(const Request& request) {
  SIZE targetSize{};
  SIZE sourceSize{};
  std::string problem;
  HBITMAP targetPicture = ReadPicture(request.target, targetSize, problem);
  if (!targetPicture) return tool::Fail(problem);
  HBITMAP sourcePicture = ReadPicture(request.source, sourceSize, problem);
  if (!sourcePicture) {
    DeleteObject(targetPicture);
    return tool::Fail(problem);
  }
  Blitter blitter;
  Held<IDirectDrawSurface2> target;
  Held<IDirectDrawSurface2> source;
  problem = blitter.Start();
  if (problem.empty()) problem = blitter.MakeSurface(targetPicture, targetSize, target);
  if (problem.empty()) problem = blitter.MakeSurface(sourcePicture, sourceSize, source);
  DeleteObject(targetPicture);
  DeleteObject(sourcePicture);
  if (problem.empty() && request.keyed) {
    DWORD pixel = 0;
    problem = blitter.PixelOf(request.key, pixel);
    DDCOLORKEY key{pixel, pixel};
    if (problem.empty())
      if (HRESULT r = source->SetColorKey(DDCKEY_SRCBLT, &key); FAILED(r)) problem = Failure("SetColorKey", r);
  }
  if (problem.empty()) problem = blitter.ClipToItself(target.object, targetSize);
  if (!problem.empty()) return tool::Fail(problem);

  RECT where{request.x, request.y, request.x + sourceSize.cx, request.y + sourceSize.cy};
  DWORD flags = DDBLT_WAIT | (request.keyed ? DDBLT_KEYSRC : 0);
  if (HRESULT r = target->Blt(&where, source.object, nullptr, flags, nullptr); FAILED(r))
    return tool::Fail(Failure("Blt", r));
  HDC dc = nullptr;
  if (HRESULT r = target->GetDC(&dc); FAILED(r)) return tool::Fail(Failure("GetDC", r));
  BOOL written = TwlTestSaveDcPng(dc, request.output.c_str());
  target->ReleaseDC(dc);
  return written ? 0 : tool::Fail("cannot write " + request.output);
}

}  // namespace

TOOL_COMMAND(RunDdblit, "ddblit",
             "DST.bmp SRC.bmp X Y OUT.png [--key RRGGBB] [--mode WxHxBPP]\n"
             "      blit SRC onto DST at X,Y in surfaces of the display format (--mode: 8, 15, 16, 24, 32\n"
             "      bits; default TWL_DISPLAY or 1024x768x32), skipping SRC pixels of the key colour;\n"
             "      writes DST as PNG and prints nothing") {
  if (args.size() < 5) return tool::Fail("ddblit takes DST.bmp SRC.bmp X Y OUT.png [--key RRGGBB] [--mode WxHxBPP]");
  Request request;
  request.target = args[0];
  request.source = args[1];
  request.output = args[4];
  if (!ParseInt(args[2], request.x) || !ParseInt(args[3], request.y) || request.x < -kMaxOffset ||
      request.x > kMaxOffset || request.y < -kMaxOffset || request.y > kMaxOffset)
    return tool::Fail("X and Y must be whole numbers from " + std::to_string(-kMaxOffset) + " to " +
                      std::to_string(kMaxOffset));
  for (size_t i = 5; i < args.size(); i += 2) {
    if (i + 1 >= args.size()) return tool::Fail(args[i] + " needs a value");
    if (args[i] == "--key") {
      if (!ParseKey(args[i + 1], request.key)) return tool::Fail("the key is six hexadecimal digits RRGGBB");
      request.keyed = true;
    } else if (args[i] == "--mode") {
      int width = 0, height = 0, depth = 0;
      if (!ParseDisplayMode(args[i + 1], width, height, depth) || !IsSurfaceDepth(depth) ||
          !TwlTestSetDisplayMode(width, height, depth))
        return tool::Fail("the mode is WIDTHxHEIGHTxBITS with 8, 15, 16, 24 or 32 bits, such as 800x600x16");
    } else {
      return tool::Fail("unknown option " + args[i]);
    }
  }
  return Run(request);
}

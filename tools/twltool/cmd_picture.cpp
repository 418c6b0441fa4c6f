// twltool picture: reads a picture exactly as Pictolan's player does (a
// host stream opened with the loader's flags, the file types tried in the
// player's order) and writes what it got as an 8-bit RGB PNG.
#include <cinttypes>
#include <cstdio>
#include <string>

#include "DibSection.h"
#include "HostCalls.h"
#include "driver/Command.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "plugins/pictolan/pictures/PictureLoader.h"
#include "plugins/pluginsdk/APIStream.h"
#include "plugins/pluginsdk/HostErrors.h"
#include "twlwin/testing_gdi.h"

using twltool::Host;

namespace {

// Readable, seekable: what the player's loader asks of its stream.
constexpr DWORD kLoaderStreamFlags = HOST_STREAM_READ | HOST_STREAM_SEEK;

// The thread error as "TYPE CODE TEXT".
std::string ThreadErrorWords() {
  const char* text = Host().HOST_GetErrorText();
  return std::to_string(Host().HOST_GetErrorType()) + " " + std::to_string(Host().HOST_GetErrorCode()) + " " +
         (text ? text : "");
}

void PrintLoaded(const pictolan::ImageFileType& type, const CDIBitmap& picture) {
  std::printf("%s %" PRIu32 " %" PRIu32 " %" PRIu32 " %s", type.GetName(), picture.GetWidth(), picture.GetHeight(),
              picture.GetFormat().bitsPerPixel, picture.IsTopDown() ? "top-down" : "bottom-up");
  if (picture.HasColorKey()) std::printf(" key 0x%08" PRIX32, picture.GetColorKey());
  std::printf("\n");
}

// The picture as 8-bit RGB, top row first, through a 32-bit DIB section.
// False with the reason when it cannot be written.
bool WritePicturePng(CDIBitmap& picture, const std::string& path, std::string& problem) {
  HBITMAP section = twltool::MakeDibSection(picture);
  if (!section) {
    problem = "no room for the picture";
    return false;
  }
  const bool written = TwlTestSaveBitmapPng(section, path.c_str()) != FALSE;
  DeleteObject(section);
  if (!written) problem = "cannot write '" + path + "'";
  return written;
}

// Runs the player's loop over the stream; the type that loaded, or null
// with the thread error standing.
const pictolan::ImageFileType* LoadPicture(const pictolan::ImageFileTypeList& types, CAPIStream& stream,
                                           const std::string& url, CDIBitmap& picture) {
  return pictolan::LoadPictureWithTypes(types, stream, url.c_str(), picture, nullptr, Host(),
                                        [](const pictolan::ImageFileType& type) {
                                          std::fprintf(stderr, "%s refused: %s\n", type.GetName(),
                                                       ThreadErrorWords().c_str());
                                        });
}

}  // namespace

TOOL_COMMAND(RunPicture, "picture",
             "URL OUT.png  read URL as Pictolan's player does (a host stream, the file types Bitmap, Jpeg, Tiff "
             "and Png in turn, the extension from the last dot); prints \"TYPE WIDTH HEIGHT BITS "
             "top-down|bottom-up\" (plus \" key 0xXXXXXXXX\" with a colour key) and writes the picture as 8-bit "
             "RGB PNG; each type that refuses prints \"TYPE refused: T C TEXT\" (thread error type, code, text) "
             "to stderr, and when none reads it \"error T C TEXT\" follows and the exit code is 1") {
  if (args.size() != 2) return tool::Fail("picture takes URL OUT.png");
  const std::string& url = args[0];
  HOST_STREAM handle = nullptr;
  if (!Host().HOST_OpenStream(url.c_str(), kLoaderStreamFlags, 0, twltool::ToolHandle(), &handle)) {
    std::fprintf(stderr, "error %s\n", ThreadErrorWords().c_str());
    return 1;
  }
  CAPIStream* stream = nullptr;
  try {
    stream = new CAPIStream(handle, Host());
  } catch (CError* error) {
    pluginsdk::ReportCaughtError(&Host(), error);
    Host().HOST_StreamRelease(handle);
    std::fprintf(stderr, "error %s\n", ThreadErrorWords().c_str());
    return 1;
  }
  const pictolan::ImageFileTypeList types = pictolan::MakeImageFileTypes(&Host());
  CDIBitmap picture;
  const pictolan::ImageFileType* loaded = LoadPicture(types, *stream, url, picture);
  if (!loaded) std::fprintf(stderr, "error %s\n", ThreadErrorWords().c_str());
  stream->CloseNoThrow();
  if (!loaded) return 1;

  PrintLoaded(*loaded, picture);
  std::string problem;
  try {
    if (!WritePicturePng(picture, args[1], problem)) return tool::Fail(problem);
  } catch (CError* error) {
    problem = error->GetText().c_str();
    DisposeError(error);
    return tool::Fail(problem);
  }
  return 0;
}

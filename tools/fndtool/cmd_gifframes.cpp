// fndtool gifframes: reads a GIF animation as separate or composed frames
// and writes each frame as a binary PPM file (frame-000.ppm, ...) into a
// folder, with a text file (frames.txt) that gives each frame's delay,
// disposal, position, colour key and, for composed frames, the area its
// image covered.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "driver/Command.h"
#include "foundation/bitmapfiles/GIFAnimation.h"
#include "foundation/bitmapfiles/GIFFrame.h"
#include "foundation/filesystem/FileSystem.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/Stream.h"

namespace {

constexpr DWORD kOpenFlags = kStreamRead | kStreamSeek | kStreamShareRead;

void LoadAnimation(const std::string& url, bool compose, CGIFAnimation& animation) {
  CStream* stream = GetFileSystem().Open(url.c_str(), kOpenFlags, 0);
  try {
    animation.Load(*stream, compose);
  } catch (...) {
    stream->CloseNoThrow();
    throw;
  }
  stream->Close();
}

// Red, green and blue bytes, rows top-down without padding; the colour key
// is left to the frame list.
bool WritePPM(const std::string& path, const CGIFFrame& frame) {
  CDIBitmap copy;
  copy.Copy(frame);
  copy.SetColorKeyFlag(false);
  CPixelFormat rgb;
  rgb.SetMasks(24, 0xFF, 0xFF00, 0xFF0000);
  if (copy.HasPixels()) copy.ChangeFormat(rgb, nullptr, 1, 0);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  std::fprintf(file, "P6\n%u %u\n255\n", copy.GetWidth(), copy.GetHeight());
  const size_t size = copy.HasPixels() ? copy.GetDataSize() : 0;
  const bool written = !size || std::fwrite(copy.GetPixels(), 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

std::string Describe(const std::string& name, const CGIFFrame& frame) {
  char line[400];
  std::snprintf(line, sizeof line,
                "%s delay=%u disposal=%u left=%u top=%u width=%u height=%u key=%ld rectangle=%u,%u,%u,%u "
                "rectangle-disposal=%u\n",
                name.c_str(), frame.GetDelay(), frame.GetDisposal(), frame.GetLeft(), frame.GetTop(), frame.GetWidth(),
                frame.GetHeight(), frame.HasColorKey() ? static_cast<long>(frame.GetColorKey()) : -1L,
                frame.GetRectangleLeft(), frame.GetRectangleTop(), frame.GetRectangleWidth(),
                frame.GetRectangleHeight(), frame.GetRectangleDisposal());
  return line;
}

int WriteFrames(const CGIFAnimation& animation, const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) return tool::Fail("cannot make the folder '" + folder + "'");
  std::string list;
  for (INT i = 0; i < animation.GetFrameCount(); ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%03d.ppm", i);
    if (!WritePPM(folder + "/" + name, *animation.GetFrame(i)))
      return tool::Fail("cannot write '" + folder + "/" + name + "'");
    list += Describe(name, *animation.GetFrame(i));
  }
  FILE* file = std::fopen((folder + "/frames.txt").c_str(), "w");
  if (!file || std::fputs(list.c_str(), file) < 0 || std::fclose(file) != 0)
    return tool::Fail("cannot write '" + folder + "/frames.txt'");
  std::printf("%d frames, screen %ux%u\n", animation.GetFrameCount(), animation.GetScreenWidth(),
              animation.GetScreenHeight());
  return 0;
}

}  // namespace

TOOL_COMMAND(RunGifFrames, "gifframes",
                "URL OUTDIR [separate|composed]\n"
                "      write the frames of a GIF animation as PPM files into OUTDIR (made when missing), with their delays,\n"
                "      disposal and positions in OUTDIR/frames.txt (composed frames unless told)") {
  if (args.size() < 2 || args.size() > 3) return tool::Fail("gifframes takes URL OUTDIR [separate|composed]");
  const std::string mode = args.size() == 3 ? args[2] : "composed";
  if (mode != "separate" && mode != "composed") return tool::Fail("unknown mode '" + mode + "'");
  CGIFAnimation animation;
  try {
    LoadAnimation(args[0], mode == "composed", animation);
    return WriteFrames(animation, args[1]);
  } catch (CError* error) {
    const int code = tool::Fail(error->GetText().c_str());
    DisposeError(error);
    return code;
  }
}

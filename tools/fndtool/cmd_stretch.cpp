// fndtool stretch: scales a PPM picture to WIDTH x HEIGHT with the
// library's bitmap stretcher, by the nearest pixel or smoothly. The first
// and last pixels of each row and column stay on the source's first and
// last pixels, as the display code places them.
#include <cstdint>
#include <string>

#include "driver/Command.h"
#include "Ppm.h"
#include "foundation/bitmaps/BitmapStretcher.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/Error.h"

namespace {

bool ParseSide(const std::string& text, DWORD& side) {
  if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  const unsigned long value = std::stoul(text);
  if (value == 0 || value > fndtool::kMaxPpmSide) return false;
  side = static_cast<DWORD>(value);
  return true;
}

// 16.16 step from the first to the last source pixel over the destination.
DWORD StepFor(DWORD sourceSize, DWORD destinationSize) {
  if (destinationSize <= 1) return 0;
  return static_cast<DWORD>(((static_cast<uint64_t>(sourceSize) << 16) - 65536) / (destinationSize - 1));
}

INT PitchOf(const CDIBitmap& bitmap) { return static_cast<INT>(bitmap.GetBytesPerRow() + bitmap.GetRowPadding()); }

int Stretch(const std::string& inPath, const std::string& outPath, DWORD width, DWORD height, bool smooth) {
  std::string problem;
  CDIBitmap source;
  if (!fndtool::ReadPpm(inPath, source, problem)) return tool::Fail(problem);
  CDIBitmap destination;
  destination.Create(width, height, CDIBitmap::kPadToFourBytes, source.GetFormat(), true);

  CBitmapStretcher stretcher;
  stretcher.SetFormat(source.GetFormat());
  const DWORD xStep = StepFor(source.GetWidth(), width);
  const DWORD yStep = StepFor(source.GetHeight(), height);
  if (smooth)
    stretcher.StretchSmooth(destination.GetPixels(), PitchOf(destination), static_cast<INT>(width),
                            static_cast<INT>(height), source.GetPixels(), PitchOf(source), xStep, yStep, 0, 0);
  else
    stretcher.StretchNearest(destination.GetPixels(), PitchOf(destination), static_cast<INT>(width),
                             static_cast<INT>(height), source.GetPixels(), PitchOf(source), xStep, yStep, 0, 0);
  if (!fndtool::WritePpm(outPath, destination, problem)) return tool::Fail(problem);
  return 0;
}

}  // namespace

TOOL_COMMAND(RunStretch, "stretch",
                "IN.ppm OUT.ppm WIDTH HEIGHT nearest|smooth\n"
                "      scale a binary PPM picture with the bitmap stretcher") {
  if (args.size() != 5) return tool::Fail("stretch takes IN.ppm OUT.ppm WIDTH HEIGHT nearest|smooth");
  DWORD width = 0, height = 0;
  if (!ParseSide(args[2], width) || !ParseSide(args[3], height))
    return tool::Fail("WIDTH and HEIGHT must be whole numbers from 1 to " + std::to_string(fndtool::kMaxPpmSide));
  if (static_cast<unsigned long long>(width) * height > fndtool::kMaxPpmPixels)
    return tool::Fail("the stretched picture would be too large");
  if (args[4] != "nearest" && args[4] != "smooth") return tool::Fail("the mode is nearest or smooth");
  try {
    return Stretch(args[0], args[1], width, height, args[4] == "smooth");
  } catch (CError* error) {
    const std::string text = std::string(error->GetCaption().c_str()) + ": " + error->GetText().c_str();
    DisposeError(error);
    return tool::Fail(text);
  }
}

#include "PictureFixtures.h"

#include <gtest/gtest.h>
#include <png.h>


#include "support/TestPaths.h"
#include "foundation/streams/StreamFlags.h"

namespace picturetest {
namespace {

void AppendBytes(png_structp png, png_bytep data, size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}
void FlushNothing(png_structp) {}

// Packs one row of samples at the recipe's depth, most significant first.
std::vector<uint8_t> PackRow(const PngRecipe& recipe, int row) {
  const int channels = recipe.colorType == PNG_COLOR_TYPE_RGB         ? 3
                       : recipe.colorType == PNG_COLOR_TYPE_RGB_ALPHA  ? 4
                       : recipe.colorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                     : 1;
  const size_t perRow = static_cast<size_t>(recipe.width) * channels;
  std::vector<uint8_t> bytes((perRow * recipe.depth + 7) / 8);
  for (size_t i = 0; i < perRow; ++i) {
    const uint16_t value = recipe.samples[row * perRow + i];
    if (recipe.depth == 16) {
      bytes[2 * i] = static_cast<uint8_t>(value >> 8);
      bytes[2 * i + 1] = static_cast<uint8_t>(value);
    } else if (recipe.depth == 8) {
      bytes[i] = static_cast<uint8_t>(value);
    } else {
      const size_t bit = i * recipe.depth;
      bytes[bit / 8] |= static_cast<uint8_t>(value << (8 - recipe.depth - bit % 8));
    }
  }
  return bytes;
}

}  // namespace

void Shell(const std::string& command) {
  std::string output;
  ASSERT_EQ(twltest::RunCommand(command, &output), 0) << command << "\n" << output;
}

std::string PicturePath(const std::string& name) { return twltest::SandboxDir() + "/" + name; }

const std::string& SourcePicture() {
  static const std::string path = [] {
    const std::string made = PicturePath("source.png");
    Shell("convert -size 64x48 -seed 7 plasma:fractal -depth 8 -type TrueColor PNG24:'" + made + "'");
    return made;
  }();
  return path;
}

std::string MakePng(const PngRecipe& recipe) {
  std::string bytes;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    ADD_FAILURE() << "libpng refused the fixture";
    return {};
  }
  png_set_write_fn(png, &bytes, &AppendBytes, &FlushNothing);
  png_set_IHDR(png, info, recipe.width, recipe.height, recipe.depth, recipe.colorType,
               recipe.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette(recipe.palette.size() / 3);
  for (size_t i = 0; i < palette.size(); ++i) {
    palette[i] = {recipe.palette[3 * i], recipe.palette[3 * i + 1], recipe.palette[3 * i + 2]};
  }
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  png_color_16 key{0, recipe.keyRed, recipe.keyGreen, recipe.keyBlue, recipe.keyGrey};
  if (!recipe.transparency.empty() || recipe.keyColor) {
    png_set_tRNS(png, info, recipe.transparency.empty() ? nullptr : recipe.transparency.data(),
                 static_cast<int>(recipe.transparency.size()), recipe.keyColor ? &key : nullptr);
  }
  png_write_info(png, info);
  std::vector<std::vector<uint8_t>> rows;
  for (int y = 0; y < recipe.height; ++y) rows.push_back(PackRow(recipe, y));
  std::vector<png_bytep> pointers;
  for (auto& row : rows) pointers.push_back(row.data());
  png_write_image(png, pointers.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return bytes;
}

BytesStream::BytesStream(const std::string& bytes) {
  OpenCopy(bytes.data(), static_cast<DWORD>(bytes.size()), kStreamRead | kStreamSeek);
}

ToolRun RunPictureTool(const std::string& file, const std::string& png) {
  ToolRun run;
  const std::string errors = PicturePath("tool-stderr.txt");
  run.status = twltest::RunCommand("TWL_HEADLESS=1 '" + twltest::ProgramPath("twltool") + "' picture '" + file + "' '" +
                                       png + "' 2>'" + errors + "'",
                                   &run.out);
  run.err = twltest::ReadFile(errors);
  return run;
}

std::string CompareMetric(const std::string& metric, const std::string& a, const std::string& b) {
  std::string figure;
  // compare writes its figure to stderr and exits with 1 when the
  // pictures differ at all.
  twltest::RunCommand("compare -metric " + metric + " '" + a + "' '" + b + "' null: 2>&1", &figure);
  return figure;
}

}  // namespace picturetest

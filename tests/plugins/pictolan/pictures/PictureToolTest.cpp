// twltool picture over files ImageMagick and the libraries' tools make of
// one source picture: the type that reads each, the line it prints and
// the pixels it got against a reference decode; names that lie about the
// contents; damaged and hostile files.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdlib>
#include <string>

#include "PictureFixtures.h"
#include "support/TestPaths.h"

namespace {

using picturetest::CompareMetric;
using picturetest::PicturePath;
using picturetest::RunPictureTool;
using picturetest::Shell;
using picturetest::SourcePicture;

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

struct PixelCase {
  const char* name;
  const char* file;
  // Makes the file from SRC (the source picture) into OUT; REF is the
  // reference decode the tool's picture is compared with.
  const char* make;
  const char* line;    // the start of the tool's line
  const char* metric;  // AE: must be 0; PSNR: at least 45 dB
};

// The file is made by `make` with SRC, OUT and REF replaced by paths.
std::string Expand(std::string text, const std::string& out, const std::string& reference) {
  const std::pair<std::string, std::string> names[] = {
      {"SRC", Quoted(SourcePicture())}, {"OUT", Quoted(out)}, {"REF", Quoted(reference)}};
  for (const auto& [name, value] : names) {
    for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + value.size())) {
      text.replace(at, name.size(), value);
    }
  }
  return text;
}

const PixelCase kPixelCases[] = {
    {"png 16-bit samples with alpha", "p64.png", "convert SRC -alpha on PNG64:OUT && cp SRC REF",
     "PngFileType 64 48 24 top-down", "AE"},
    {"interlaced png", "interlaced.png", "convert SRC -interlace PNG OUT && cp SRC REF", "PngFileType 64 48 24 top-down",
     "AE"},
    {"palette png with tRNS", "palette.png",
     "convert SRC -colors 60 -alpha set -region 10x10+0+0 -alpha transparent +region PNG8:OUT && "
     "convert OUT -alpha off PNG24:REF",
     "PngFileType 64 48 8 top-down key 0x", "AE"},
    {"1-bit grey png", "grey1.png",
     "convert SRC -monochrome -define png:bit-depth=1 -define png:color-type=0 OUT && convert OUT PNG24:REF",
     "PngFileType 64 48 1 top-down", "AE"},
    {"lzw tiff", "lzw.tif", "convert SRC -compress LZW OUT && cp SRC REF", "TiffFileType 64 48 32 bottom-up", "AE"},
    {"zip tiff", "zip.tif", "convert SRC -compress Zip OUT && cp SRC REF", "TiffFileType 64 48 32 bottom-up", "AE"},
    {"packbits tiff", "packbits.tif", "convert SRC -compress RLE OUT && cp SRC REF", "TiffFileType 64 48 32 bottom-up",
     "AE"},
    {"16-bit tiff", "deep.tif", "convert SRC -depth 16 -compress None OUT && cp SRC REF",
     "TiffFileType 64 48 32 bottom-up", "AE"},
    {"group 4 fax tiff", "fax.tif", "convert SRC -monochrome PNG24:REF && convert REF -monochrome -compress Group4 OUT",
     "TiffFileType 64 48 32 bottom-up", "AE"},
    {"three-page tiff gives its first page", "pages.tif",
     "convert SRC \\( SRC -negate \\) \\( SRC -flip \\) OUT && cp SRC REF", "TiffFileType 64 48 32 bottom-up", "AE"},
    {"baseline jpeg", "baseline.jpg", "convert SRC -quality 90 OUT && djpeg -ppm OUT >REF.ppm && mv REF.ppm REF",
     "JpegFileType 64 48 24 top-down", "PSNR"},
    {"progressive jpeg", "progressive.jpg",
     "convert SRC -quality 85 -interlace JPEG OUT && djpeg -ppm OUT >REF.ppm && mv REF.ppm REF",
     "JpegFileType 64 48 24 top-down", "PSNR"},
    {"grey jpeg", "grey.jpg", "convert SRC -colorspace Gray OUT && djpeg -ppm OUT >REF.ppm && mv REF.ppm REF",
     "JpegFileType 64 48 24 top-down", "PSNR"},
    {"jpeg-compressed tiff", "jpeg.tif",
     "convert SRC -compress None OUT.plain.tif && tiffcp -c jpeg -r 16 OUT.plain.tif OUT && convert OUT PNG24:REF",
     "TiffFileType 64 48 32 bottom-up", "PSNR"},
};

TEST(PictureToolTest, ReadsEachKindOfFileAsItsReferenceDecodeDoes) {
  for (const PixelCase& c : kPixelCases) {
    SCOPED_TRACE(c.name);
    const std::string file = PicturePath(c.file);
    const std::string reference = file + ".ref";
    Shell(Expand(c.make, file, reference));
    const std::string got = file + ".out.png";
    const auto run = RunPictureTool(file, got);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind(c.line, 0), 0u) << run.out;
    const std::string figure = CompareMetric(c.metric, reference, got);
    if (std::string(c.metric) == "AE") {
      EXPECT_EQ(figure, "0") << "pixels differ";
    } else if (figure != "inf") {
      EXPECT_GE(std::atof(figure.c_str()), 45.0) << figure;
    }
  }
}

TEST(PictureToolTest, PaletteAndGreyPngsKeepTheirDepthAndTransparentKey) {
  picturetest::PngRecipe recipe;
  recipe.width = 4;
  recipe.height = 2;
  recipe.colorType = 3;  // palette
  recipe.depth = 4;
  for (int i = 0; i < 8; ++i) recipe.palette.insert(recipe.palette.end(), {uint8_t(30 * i), uint8_t(i), uint8_t(200 - i)});
  recipe.transparency = {255, 255, 255, 0, 255, 64};
  recipe.samples = {0, 3, 5, 7, 5, 1, 2, 5};
  const std::string file = PicturePath("keyed.png");
  twltest::WriteFile(file, picturetest::MakePng(recipe));
  const auto run = RunPictureTool(file, file + ".out.png");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "PngFileType 4 2 4 top-down key 0x00000003\n");
  // Every 5 became 3: the picture shows colour 3 there.
  std::string pixels;
  twltest::RunCommand("convert '" + file + ".out.png' -depth 8 txt:- | tail -n +2 | sed 's/.*#\\([0-9A-F]*\\).*/\\1/'",
                      &pixels);
  EXPECT_EQ(pixels, "0000C8\n5A03C5\n5A03C5\nD207C1\n5A03C5\n1E01C7\n3C02C6\n5A03C5\n");
}

struct NameCase {
  const char* name;
  const char* file;
  const char* make;  // OUT replaced by the file's path
  int exitCode;
  const char* outStart;  // the start of stdout
  const char* errPart;   // a text stderr holds
};

const NameCase kNameCases[] = {
    {"x.png holding JPEG data is read as JPEG", "x.png", "convert SRC JPEG:OUT", 0, "JpegFileType 64 48 24 top-down",
     "BitmapFileType refused: 7 6"},
    {"x.gif holding a PNG", "x.gif", "cp SRC OUT", 1, "", "\nerror 7 6 "},
    {"a text file named t.jpg", "t.jpg", "echo 'no picture here' >OUT", 1, "", "\nerror 7 6 "},
    {"an empty file", "empty.png", ": >OUT", 1, "", "\nerror 7 6 "},
    {"a CMYK JPEG cannot become RGB", "cmyk.jpg", "convert SRC -colorspace CMYK OUT", 1, "",
     "JpegFileType refused: 1 0 JPEG error: Error decompressing JPEG image: "},
    {"a JPEG cut at 60 % decodes with the library's filler", "cut.jpg",
     "convert SRC -quality 95 JPEG:OUT.whole && head -c $(( $(stat -c %s OUT.whole) * 6 / 10 )) OUT.whole >OUT", 0,
     "JpegFileType 64 48 24 top-down", ""},
    {"a PNG cut after its header", "cut.png", "head -c 33 SRC >OUT", 1, "",
     "PngFileType refused: 1 0 Image error: Error decoding PNG image: read error\n"},
};

TEST(PictureToolTest, TheContentsDecideAndBrokenFilesEndWithTheirError) {
  for (const NameCase& c : kNameCases) {
    SCOPED_TRACE(c.name);
    const std::string file = PicturePath(c.file);
    Shell(Expand(c.make, file, ""));
    const auto run = RunPictureTool(file, file + ".out.png");
    EXPECT_TRUE(WIFEXITED(run.status)) << run.status;
    EXPECT_EQ(WEXITSTATUS(run.status), c.exitCode) << run.err;
    EXPECT_EQ(run.out.rfind(c.outStart, 0), 0u) << run.out;
    EXPECT_NE(("\n" + run.err).find(c.errPart), std::string::npos) << run.err;
  }
}

TEST(PictureToolTest, ACutTiffIsRefusedWithoutAWordOfLibtiffsOwn) {
  const std::string whole = PicturePath("whole.tif");
  Shell(Expand("convert SRC -compress LZW OUT", whole, ""));
  const std::string cut = PicturePath("cut.tif");
  Shell("head -c 3000 '" + whole + "' >'" + cut + "'");
  const auto run = RunPictureTool(cut, cut + ".out.png");
  ASSERT_TRUE(WIFEXITED(run.status));
  EXPECT_EQ(WEXITSTATUS(run.status), 1);
  EXPECT_EQ(run.err,
            "BitmapFileType refused: 7 6 unsupported file format\n"
            "JpegFileType refused: 7 6 unsupported file format\n"
            "TiffFileType refused: 7 6 unsupported file format\n"
            "PngFileType refused: 7 6 unsupported file format\n"
            "error 7 6 unsupported file format\n");
}

// The largest resident size of the children waited for so far, in KiB.
long LargestChildKiB() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return usage.ru_maxrss;
}

TEST(PictureToolTest, AFewHundredBytesClaimingAHugePictureAreRefusedInLittleMemory) {
  // The tool's own size in this build (sanitizers included) first.
  const std::string small = PicturePath("small.jpg");
  Shell(Expand("convert SRC -resize 16x16 -quality 50 OUT", small, ""));
  ASSERT_EQ(RunPictureTool(small, small + ".out.png").status, 0);
  const long baseline = LargestChildKiB();

  // The frame header's height and width, and the header's, claim 60000.
  const std::string hugeJpeg = PicturePath("huge.jpg");
  Shell("python3 -c \"import struct,sys;d=bytearray(open(sys.argv[1],'rb').read());"
        "i=d.index(b'\\xff\\xc0');d[i+5:i+9]=struct.pack('>HH',60000,60000);open(sys.argv[2],'wb').write(d)\" '" +
        small + "' '" + hugeJpeg + "'");
  const std::string smallPng = PicturePath("small.png");
  Shell(Expand("convert SRC -resize 16x16 OUT", smallPng, ""));
  const std::string hugePng = PicturePath("huge.png");
  Shell("python3 -c \"import struct,sys,zlib;d=bytearray(open(sys.argv[1],'rb').read());"
        "d[16:24]=struct.pack('>II',60000,60000);d[29:33]=struct.pack('>I',zlib.crc32(bytes(d[12:29])));"
        "open(sys.argv[2],'wb').write(d)\" '" +
        smallPng + "' '" + hugePng + "'");
  for (const auto& [file, type] : {std::pair{hugeJpeg, "JpegFileType"}, std::pair{hugePng, "PngFileType"}}) {
    SCOPED_TRACE(file);
    const auto run = RunPictureTool(file, file + ".out.png");
    EXPECT_EQ(WEXITSTATUS(run.status), 1);
    EXPECT_NE(run.err.find(std::string(type) + " refused: 1 0 Bitmap error: The bitmap is too large.\n"),
              std::string::npos)
        << run.err;
  }
  EXPECT_LT(LargestChildKiB() - baseline, 100 * 1024);
}

}  // namespace

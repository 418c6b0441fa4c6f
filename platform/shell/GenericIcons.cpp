#include "GenericIcons.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

namespace twl::shell {
namespace {

// A 16 x 16 drawing grid; larger sizes scale the finished icon.
constexpr int kGrid = 16;

struct Canvas {
  IconImage image;

  Canvas() {
    image.width = kGrid;
    image.height = kGrid;
    image.hasAlpha = true;
    image.hotspotX = kGrid / 2;
    image.hotspotY = kGrid / 2;
    image.colour.assign(kGrid * kGrid, 0);
    image.mask.assign(kGrid * kGrid, 1);
  }

  void Dot(int x, int y, uint32_t rgb) {
    if (x < 0 || y < 0 || x >= kGrid || y >= kGrid) return;
    image.colour[y * kGrid + x] = 0xFF000000u | rgb;
    image.mask[y * kGrid + x] = 0;
  }
  void Clear(int x, int y) {
    image.colour[y * kGrid + x] = 0;
    image.mask[y * kGrid + x] = 1;
  }
  // Both corners included.
  void Fill(int x0, int y0, int x1, int y1, uint32_t rgb) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) Dot(x, y, rgb);
  }
  void Box(int x0, int y0, int x1, int y1, uint32_t fill, uint32_t edge) {
    Fill(x0, y0, x1, y1, edge);
    Fill(x0 + 1, y0 + 1, x1 - 1, y1 - 1, fill);
  }
  void Disc(int cx, int cy, int radius, uint32_t rgb) {
    for (int y = cy - radius; y <= cy + radius; ++y)
      for (int x = cx - radius; x <= cx + radius; ++x)
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius) Dot(x, y, rgb);
  }
};

constexpr uint32_t kEdge = 0x707070;
constexpr uint32_t kPaper = 0xFFFFFF;
constexpr uint32_t kFolder = 0xF2C94C;
constexpr uint32_t kFolderEdge = 0xB8902A;

void Page(Canvas& c) {
  c.Box(2, 0, 13, 15, kPaper, kEdge);
  // The folded top-right corner: clear above the diagonal, then the fold.
  for (int y = 0; y <= 3; ++y)
    for (int x = 11 + y; x <= 13; ++x) c.Clear(x, y);
  for (int i = 0; i <= 3; ++i) c.Dot(10 + i, i, kEdge);
  c.Fill(10, 0, 10, 3, kEdge);
  c.Fill(10, 3, 13, 3, kEdge);
}

void Folder(Canvas& c, bool open) {
  c.Box(0, 2, 6, 4, kFolder, kFolderEdge);
  c.Box(0, 4, 15, 14, kFolder, kFolderEdge);
  if (open) {
    c.Fill(2, 7, 15, 14, kFolderEdge);
    c.Fill(3, 8, 14, 13, 0xF8E08C);
  }
}

void Lines(Canvas& c, uint32_t rgb) {
  for (int y = 5; y <= 12; y += 2) c.Fill(4, y, 11, y, rgb);
}

IconImage Draw(GenericIcon icon) {
  Canvas c;
  switch (icon) {
    case GenericIcon::Folder:
      Folder(c, false);
      break;
    case GenericIcon::FolderOpen:
      Folder(c, true);
      break;
    case GenericIcon::Drive:
      c.Box(0, 5, 15, 11, 0xD0D0D0, 0x505050);
      c.Fill(11, 8, 12, 8, 0x20C020);
      break;
    case GenericIcon::Disc:
      c.Disc(7, 7, 7, 0x808080);
      c.Disc(7, 7, 6, 0xD8D8E8);
      c.Disc(7, 7, 2, 0x808080);
      c.Clear(7, 7);
      break;
    case GenericIcon::Program:
      c.Box(0, 1, 15, 14, kPaper, 0x404040);
      c.Fill(1, 2, 14, 4, 0x2060C0);
      break;
    case GenericIcon::Text:
      Page(c);
      Lines(c, 0x909090);
      break;
    case GenericIcon::Audio:
      Page(c);
      c.Fill(9, 5, 9, 11, 0x202020);
      c.Fill(10, 5, 11, 6, 0x202020);
      c.Disc(7, 11, 2, 0x202020);
      break;
    case GenericIcon::Video:
      Page(c);
      c.Fill(4, 5, 11, 12, 0x303030);
      for (int y = 6; y <= 11; y += 2) {
        c.Dot(4, y, kPaper);
        c.Dot(11, y, kPaper);
      }
      c.Fill(6, 6, 9, 11, 0x6090D0);
      break;
    case GenericIcon::Picture:
      Page(c);
      c.Fill(4, 5, 11, 12, 0x87CEEB);
      c.Fill(4, 10, 11, 12, 0x3A9A3A);
      c.Disc(9, 7, 1, 0xF0D020);
      break;
    case GenericIcon::Playlist:
      Page(c);
      for (int y = 5; y <= 12; y += 3) {
        c.Fill(4, y, 5, y + 1, 0xE07020);
        c.Fill(7, y, 11, y, 0x909090);
      }
      break;
    case GenericIcon::WebPage:
      Page(c);
      c.Disc(8, 9, 4, 0x2A7FD4);
      c.Fill(5, 9, 11, 9, 0x9CD0FF);
      c.Fill(8, 6, 8, 12, 0x9CD0FF);
      break;
    case GenericIcon::Archive:
      Page(c);
      for (int y = 1; y <= 12; y += 2) c.Fill(7, y, 8, y, 0x404040);
      c.Box(6, 12, 9, 14, 0xC0A000, 0x404040);
      break;
    case GenericIcon::Document:
    case GenericIcon::Count:
      Page(c);
      break;
  }
  return c.image;
}

}  // namespace

IconImage DrawGenericIcon(GenericIcon icon, int size) { return ScaleIconImage(Draw(icon), size, size); }

GenericIcon IconForFileName(const std::string& name) {
  static const auto* byExtension = new std::unordered_map<std::string, GenericIcon>{
      {"exe", GenericIcon::Program},   {"com", GenericIcon::Program},   {"bat", GenericIcon::Program},
      {"cmd", GenericIcon::Program},   {"dll", GenericIcon::Program},   {"so", GenericIcon::Program},
      {"sh", GenericIcon::Program},    {"txt", GenericIcon::Text},      {"ini", GenericIcon::Text},
      {"log", GenericIcon::Text},      {"nfo", GenericIcon::Text},      {"cfg", GenericIcon::Text},
      {"csv", GenericIcon::Text},      {"mp3", GenericIcon::Audio},     {"mp2", GenericIcon::Audio},
      {"wav", GenericIcon::Audio},     {"ogg", GenericIcon::Audio},     {"flac", GenericIcon::Audio},
      {"wma", GenericIcon::Audio},     {"mid", GenericIcon::Audio},     {"midi", GenericIcon::Audio},
      {"aif", GenericIcon::Audio},     {"aiff", GenericIcon::Audio},    {"au", GenericIcon::Audio},
      {"cda", GenericIcon::Audio},     {"m4a", GenericIcon::Audio},     {"aac", GenericIcon::Audio},
      {"mod", GenericIcon::Audio},     {"xm", GenericIcon::Audio},      {"s3m", GenericIcon::Audio},
      {"it", GenericIcon::Audio},      {"avi", GenericIcon::Video},     {"mpg", GenericIcon::Video},
      {"mpeg", GenericIcon::Video},    {"mp4", GenericIcon::Video},     {"mkv", GenericIcon::Video},
      {"wmv", GenericIcon::Video},     {"mov", GenericIcon::Video},     {"asf", GenericIcon::Video},
      {"vob", GenericIcon::Video},     {"webm", GenericIcon::Video},    {"bmp", GenericIcon::Picture},
      {"jpg", GenericIcon::Picture},   {"jpeg", GenericIcon::Picture},  {"png", GenericIcon::Picture},
      {"gif", GenericIcon::Picture},   {"tif", GenericIcon::Picture},   {"tiff", GenericIcon::Picture},
      {"ico", GenericIcon::Picture},   {"pcx", GenericIcon::Picture},   {"tga", GenericIcon::Picture},
      {"m3u", GenericIcon::Playlist},  {"pls", GenericIcon::Playlist},  {"p4u", GenericIcon::Playlist},
      {"asx", GenericIcon::Playlist},  {"htm", GenericIcon::WebPage},   {"html", GenericIcon::WebPage},
      {"url", GenericIcon::WebPage},   {"zip", GenericIcon::Archive},   {"rar", GenericIcon::Archive},
      {"7z", GenericIcon::Archive},    {"gz", GenericIcon::Archive},    {"tar", GenericIcon::Archive},
      {"cab", GenericIcon::Archive},   {"iso", GenericIcon::Disc},      {"cue", GenericIcon::Disc},
  };
  size_t slash = name.find_last_of("/\\");
  size_t dot = name.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return GenericIcon::Document;
  std::string extension = name.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  auto found = byExtension->find(extension);
  return found == byExtension->end() ? GenericIcon::Document : found->second;
}

}  // namespace twl::shell

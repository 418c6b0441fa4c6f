// The image written into a file: the space check, the file written through
// a progress stream, and the text the user gets when it fails (the file is
// then gone).
#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

#include "kilnar/app/FileNode.h"
#include "kilnar/app/IsoTrack.h"
#include "kilnar/app/TreeMessages.h"
#include "kilnar/recorder/DiskSpace.h"
#include "kilnar/recorder/FileInfo.h"
#include "kilnar/recorder/WideText.h"

namespace {

constexpr uint32_t kWorkBuffer = 65535;
constexpr size_t kLongestText = 255;

std::string ForUser(const std::string& text) { return CutUtf8(text, kLongestText); }

// The path's first character, as the drive the space check names.
std::string DriveLetterOf(const char* path) {
  return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(path[0]))));
}

}  // namespace

std::string IsoTrack::FailureText() const {
  if (m_Cancel) return TreeMessage("MESSAGE", "USER_BREAK");
  if (!m_Refusal.empty()) return m_Refusal;
  if (m_WriteError != 0) return std::strerror(m_WriteError);
  return TreeMessage("MESSAGE", "ERR_ISOTRACK_CREATING_IMAGE");
}

std::optional<std::string> IsoTrack::CreateImageFile(const char* path, uint32_t startSector,
                                                     CwProgressStream::ProgressCallback progress) {
  if (!path || !*path || !GetRoot() || m_Busy) return std::string("internal Error");
  m_Name = path;
  m_Cancel = false;
  m_ImageStartSector = static_cast<int32_t>(startSector);
  // A tree that cannot become an image is refused before the file is
  // touched: a file already there stays as it was.
  const uint32_t sectors = CalcImageSize();
  if (sectors == 0) {
    m_Name.clear();
    return ForUser(m_Refusal.empty() ? TreeMessage("ERROR", "ERR_ISOTRACK_CANNOT_CALC_SIZE") : m_Refusal);
  }
  const uint64_t needed = static_cast<uint64_t>(sectors) * 2048;
  const uint64_t available = GetFreeBytesForPath(path) + GetFileSize64Of(path);
  if (available < needed) {
    m_Name.clear();
    return ForUser(TreeMessage("MESSAGE", "ERR_CWPRJDOC_NOT_ENOUGH_SPACE",
                               {DriveLetterOf(path), std::to_string(needed / 1000), std::to_string(available / 1000)}));
  }
  CwProgressStream stream(path, needed > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(needed), progress);
  if (!stream.IsOpen()) {
    m_Name.clear();
    return std::string("Image-File invalid");
  }
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[kWorkBuffer]);
  if (!buffer) {
    stream.Delete();
    m_Name.clear();
    return std::string("Not enough memory");
  }
  m_Busy = true;
  bool made = CreateImage(stream, startSector, std::span<uint8_t>(buffer.get(), kWorkBuffer), false, kDefaultByteLimit);
  m_Busy = false;
  buffer.reset();
  GetRoot()->SetSortOrderAll(kSortByName);
  if (made) {
    errno = 0;
    stream.Close();
    // A stream whose last block could not be written stays open.
    if (stream.IsOpen()) {
      made = false;
      m_WriteError = errno;
    }
  }
  if (!made) {
    const std::string text = FailureText();
    m_Name.clear();
    stream.Delete();
    return ForUser(text);
  }
  m_Name = path;
  m_Date = GetFileTimeOf(path);
  m_Modified = true;
  if (progress) progress(100);
  return std::nullopt;
}

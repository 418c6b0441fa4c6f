// Reading and writing the native playlist file. The size field is checked
// against the bytes the stream holds, every size and length the file gives
// against what is left of the size field, and data is read in bounded
// steps, so a damaged or crafted file costs no more memory than the bytes
// it really holds, even from a stream that does not know its length.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "foundation/errors/LocalText.h"
#include "foundation/filesystem/FileSystem.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Placeholder.h"
#include "foundation/streams/DiskFileStream.h"
#include "foundation/streams/Stream.h"
#include "foundation/streams/StreamError.h"
#include "playlistformat/PathRebasing.h"
#include "playback/playlist/PlayList.h"
#include "playback/playlist/PlayListErrors.h"
#include "playback/playlist/PlayListFileEntry.h"
#include "playlistformat/PlayListFileFormat.h"
#include "playback/playlist/PlayListFolderEntry.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "pluginhost/fileinfo/FolderInfoDataBase.h"
#include "pluginhost/plugins/PlugInVersion.h"

using namespace playlistfile;

namespace {

// Data is read in steps of this size, so memory follows what arrives.
constexpr DWORD kReadStep = 1 << 16;

DWORD LoadDword(const unsigned char* bytes) {
  return static_cast<DWORD>(bytes[0]) | static_cast<DWORD>(bytes[1]) << 8 | static_cast<DWORD>(bytes[2]) << 16 |
         static_cast<DWORD>(bytes[3]) << 24;
}

void StoreDword(std::vector<unsigned char>& out, DWORD value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<unsigned char>(value >> shift));
}

void StoreText(std::vector<unsigned char>& out, const std::string& text) {
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}

[[noreturn]] void ThrowStreamError(DWORD code, CStream& stream) { ThrowError<CStreamError>(code, stream); }

// Exactly `count` bytes, or CStreamError 8 when the stream ends first.
std::vector<unsigned char> ReadBytes(CStream& stream, DWORD count) {
  std::vector<unsigned char> bytes;
  while (bytes.size() < count) {
    const DWORD step = std::min<DWORD>(kReadStep, count - static_cast<DWORD>(bytes.size()));
    const size_t at = bytes.size();
    bytes.resize(at + step);
    const DWORD got = stream.Read(bytes.data() + at, step);
    if (got < step) ThrowStreamError(CStreamError::kEndOfStream, stream);
  }
  return bytes;
}

std::string UrlWithScheme(const std::string& url) { return rebasing::HasScheme(url) ? url : "file://" + url; }

// The entries' URLs move along with the file when it was saved elsewhere.
struct Rebase {
  bool on = false;
  std::string storedFolder;
  std::string currentFolder;
  size_t tailLength = 0;

  std::string Apply(const std::string& url, bool isFolder) const {
    return on ? rebasing::RebaseEntryURL(url, isFolder, storedFolder, currentFolder, tailLength) : url;
  }
};

// One entry's record after its size and kind: flags, URL, and for files
// the volume and (from writer 1.75 on) title and duration.
void ReadEntry(CPlayList& list, CStream& stream, DWORD kind, const std::vector<unsigned char>& rest,
               DWORD writerVersion, const Rebase& rebase, CFileInfoDataBase& files, CFolderInfoDataBase& folders) {
  const DWORD flags = LoadDword(rest.data());
  const DWORD urlLength = LoadDword(rest.data() + 4);
  const size_t restSize = rest.size();
  if (urlLength > restSize - 8 || urlLength < 2) ThrowStreamError(CStreamError::kCorrupted, stream);
  const unsigned char* urlBytes = rest.data() + 8;
  if (urlBytes[urlLength - 1] != 0) ThrowStreamError(CStreamError::kCorrupted, stream);
  // The URL is the text up to its first NUL, as every user of it reads
  // it; without any text the entry could be saved but never loaded again.
  const std::string text(reinterpret_cast<const char*>(urlBytes));
  if (text.empty()) ThrowStreamError(CStreamError::kCorrupted, stream);
  const std::string url = rebase.Apply(text, kind == kKindFolder);

  if (kind == kKindFolder) {
    auto* folder = new CPlayListFolderEntry(folders.Get(url.c_str()));
    if (flags & kFolderExpandPending) {
      folder->SetExpandPending(true);
      folder->SetExpandRecursive((flags & kFolderExpandRecursive) != 0);
    }
    list.Insert(folder, -1);
    return;
  }

  size_t at = 8 + urlLength;
  if (restSize - at < 4) ThrowStreamError(CStreamError::kCorrupted, stream);
  const DWORD volume = std::min<DWORD>(LoadDword(rest.data() + at), 100);
  at += 4;
  if (restSize - at >= kTitleFieldsSize && writerVersion >= kTitlesVersion) {
    DWORD durationPriority = LoadDword(rest.data() + at);
    const DWORD duration = LoadDword(rest.data() + at + 4);
    DWORD titlePriority = LoadDword(rest.data() + at + 8);
    const DWORD titleLength = LoadDword(rest.data() + at + 12);
    at += kTitleFieldsSize;
    if (titleLength > restSize - at || titleLength == 0) ThrowStreamError(CStreamError::kCorrupted, stream);
    if (rest[at + titleLength - 1] != 0) ThrowStreamError(CStreamError::kCorrupted, stream);
    if (durationPriority > 255) durationPriority = 0;
    if (titlePriority > 255) titlePriority = 0;
    if (durationPriority != 0 || titlePriority != 0) {
      const std::string title(reinterpret_cast<const char*>(rest.data() + at), titleLength - 1);
      files.UpdateFileInfo(url.c_str(), title.c_str(), static_cast<int>(titlePriority), 0, 0,
                           static_cast<int>(duration), static_cast<int>(durationPriority));
    }
  }
  list.Insert(new CPlayListFileEntry(files.Get(url.c_str()), static_cast<INT>(volume)), -1);
}

}  // namespace

void CPlayList::Load(const char* url, CFileInfoDataBase& files, CFolderInfoDataBase& folders) {
  Reset();
  CStream* stream =
      GetFileSystem().Open(url, kStreamRead | kStreamLengthKnown | kStreamOpenExistingToo | kStreamShareRead, 0);
  try {
    Read(*stream, files, folders);
  } catch (...) {
    stream->CloseNoThrow();
    throw;
  }
  stream->Close();
}

void CPlayList::Read(CStream& stream, CFileInfoDataBase& files, CFolderInfoDataBase& folders) {
  Reset();
  CStr streamUrl;
  stream.GetURL(streamUrl);
  m_URL = streamUrl;
  const std::string currentFolder = [&] {
    const std::string folder = rebasing::FolderOf(streamUrl.c_str());
    return folder.empty() ? folder : UrlWithScheme(folder);
  }();

  // What the stream holds bounds the size field (when it knows its length).
  LONGLONG available = -1;
  if (stream.GetCapabilities() & kStreamLengthKnown) {
    const LONGLONG length = stream.GetLength(true, nullptr);
    if (length >= 0) available = length - stream.GetPosition() - kSizeFieldEnd;
  }
  const std::vector<unsigned char> header = ReadBytes(stream, kHeaderSize);
  if (std::memcmp(header.data(), kMagic, sizeof kMagic) != 0) ThrowCorruptedPlayListError();
  const DWORD writerVersion = LoadDword(&header[16]);
  const DWORD minimumVersion = LoadDword(&header[20]);
  if (minimumVersion > GetPlayerVersion()) ThrowNewerPlayListVersionError(minimumVersion, GetPlayerVersion());

  DWORD remaining = LoadDword(&header[24]);
  if (available >= 0 && remaining > available) ThrowStreamError(CStreamError::kCorrupted, stream);
  auto take = [&](DWORD count) {
    if (remaining < count) ThrowStreamError(CStreamError::kCorrupted, stream);
    remaining -= count;
  };
  take(4);
  const DWORD flags = LoadDword(&header[28]);
  m_Loop = (flags & kFlagLoop) != 0;
  m_Shuffle = (flags & kFlagShuffle) != 0;
  take(4);
  const DWORD entryCount = LoadDword(&header[32]);
  take(4);
  const DWORD locationLength = LoadDword(&header[36]);
  if (locationLength > remaining || locationLength == 0) ThrowStreamError(CStreamError::kCorrupted, stream);
  std::vector<unsigned char> location = ReadBytes(stream, locationLength - 1);
  location.insert(location.begin(), header[40]);
  if (location.back() != 0) ThrowStreamError(CStreamError::kCorrupted, stream);
  m_StoredURL = CStr(reinterpret_cast<const char*>(location.data()), locationLength - 1);
  remaining -= locationLength;

  Rebase rebase;
  rebase.storedFolder = rebasing::FolderOf(m_StoredURL.c_str());
  rebase.currentFolder = currentFolder;
  rebase.on = !rebase.storedFolder.empty() && !rebase.currentFolder.empty() &&
              !rebasing::IsSamePath(rebase.storedFolder, rebase.currentFolder);
  if (rebase.on) rebase.tailLength = rebasing::GetCommonPathTailLength(rebase.storedFolder, rebase.currentFolder);

  try {
    for (DWORD entry = 0; entry < entryCount; ++entry) {
      if (remaining < 8) ThrowStreamError(CStreamError::kCorrupted, stream);
      const std::vector<unsigned char> head = ReadBytes(stream, 8);
      remaining -= 8;
      const DWORD entrySize = LoadDword(head.data());
      const DWORD kind = LoadDword(head.data() + 4);
      if (entrySize < 4) ThrowStreamError(CStreamError::kCorrupted, stream);
      const DWORD restSize = entrySize - 4;
      if (kind != kKindFile && kind != kKindFolder) {
        if (stream.Skip(restSize) < restSize) ThrowStreamError(CStreamError::kEndOfStream, stream);
        continue;
      }
      if (restSize < 9 || restSize > remaining) ThrowStreamError(CStreamError::kCorrupted, stream);
      remaining -= restSize;
      ReadEntry(*this, stream, kind, ReadBytes(stream, restSize), writerVersion, rebase, files, folders);
    }
  } catch (...) {
    Renumber();  // the entries read so far stay usable
    throw;
  }
  Renumber();
  UpdateName();
}

void CPlayList::Write(CStream& stream, CFileInfoDataBase& files) {
  CStr url;
  stream.GetURL(url);
  WriteAs(stream, url, files);
}

void CPlayList::WriteAs(CStream& stream, const CStr& location, CFileInfoDataBase& files) {
  const std::string url = UrlWithScheme(location.c_str());

  // What the information records say is copied out first, so the lock is
  // never held while the stream writes.
  std::vector<unsigned char> body;
  {
    CriticalSectionLock lock(files.GetLock());
    for (INT i = 0; i < GetCount(); ++i) {
      const CPlayListEntry* entry = GetEntry(i);
      const std::string entryUrl = entry->GetURL();
      if (entry->IsFolder()) {
        const auto* folder = static_cast<const CPlayListFolderEntry*>(entry);
        DWORD flags = 0;
        if (folder->IsExpandPending())
          flags = kFolderExpandPending | (folder->IsExpandRecursive() ? kFolderExpandRecursive : 0);
        StoreDword(body, kEntryFixedSize + static_cast<DWORD>(entryUrl.size() + 1));
        StoreDword(body, kKindFolder);
        StoreDword(body, flags);
        StoreDword(body, static_cast<DWORD>(entryUrl.size() + 1));
        StoreText(body, entryUrl);
        continue;
      }
      const auto* file = static_cast<const CPlayListFileEntry*>(entry);
      const FileInfoRecord* info = file->GetFileInfo();
      const std::string title = info && info->typeText ? *info->typeText : std::string();
      const DWORD titlePriority = title.empty() ? 0 : (info ? info->typeTextPriority : 0);
      const DWORD duration = info ? static_cast<DWORD>(info->thirdValue) : kUnknownDuration;
      const DWORD durationPriority = info ? info->thirdValuePriority : 0;
      StoreDword(body, kEntryFixedSize + static_cast<DWORD>(entryUrl.size() + 1) + kFileFieldsSize +
                           static_cast<DWORD>(title.size() + 1));
      StoreDword(body, kKindFile);
      StoreDword(body, 0);
      StoreDword(body, static_cast<DWORD>(entryUrl.size() + 1));
      StoreText(body, entryUrl);
      StoreDword(body, static_cast<DWORD>(file->GetVolume()));
      StoreDword(body, durationPriority);
      StoreDword(body, duration);
      StoreDword(body, titlePriority);
      StoreDword(body, static_cast<DWORD>(title.size() + 1));
      StoreText(body, title);
    }
  }

  std::vector<unsigned char> header(kMagic, kMagic + sizeof kMagic);
  StoreDword(header, GetPlayerVersion());
  StoreDword(header, kMinimumVersionWritten);
  StoreDword(header, static_cast<DWORD>(url.size() + 1 + 12 + body.size()));
  StoreDword(header, (m_Loop ? kFlagLoop : 0) | (m_Shuffle ? kFlagShuffle : 0));
  StoreDword(header, static_cast<DWORD>(GetCount()));
  StoreDword(header, static_cast<DWORD>(url.size() + 1));
  StoreText(header, url);
  stream.Write(header.data(), static_cast<DWORD>(header.size()));
  if (!body.empty()) stream.Write(body.data(), static_cast<DWORD>(body.size()));

  m_URL = url.c_str();
  UpdateName();
}

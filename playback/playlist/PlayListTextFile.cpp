// Loading the text playlists of other programs into a CPlayList: the whole
// text is read at once (it is bounded), parsed, and its entries appended.
#include <strings.h>

#include <cstring>
#include <string>
#include <vector>

#include "foundation/filesystem/FileSystem.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/Stream.h"
#include "foundation/streams/StreamError.h"
#include "playback/playlist/PlayList.h"
#include "playback/playlist/PlayListErrors.h"
#include "playback/playlist/PlayListFileEntry.h"
#include "playback/playlist/PlayListText.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"

namespace {

constexpr int kTitlePriority = 128;
constexpr INT kVolume = 100;

bool EndsWithNoCase(const char* text, const char* end) {
  const size_t length = std::strlen(text);
  const size_t endLength = std::strlen(end);
  return length >= endLength && strcasecmp(text + length - endLength, end) == 0;
}

// The whole text; a stream that ends before its length is an error.
std::string ReadWholeText(CStream& stream, LONGLONG length) {
  std::string text(static_cast<size_t>(length), '\0');
  const DWORD got = stream.Read(text.data(), static_cast<DWORD>(length));
  if (got < static_cast<DWORD>(length)) ThrowError<CStreamError>(CStreamError::kEndOfStream, stream);
  return text;
}

}  // namespace

void CPlayList::LoadM3U(const char* url, CFileInfoDataBase& files, CFolderInfoDataBase& folders) {
  LoadText(url, TextFormat::kM3U, files, folders);
}

void CPlayList::LoadPLS(const char* url, CFileInfoDataBase& files, CFolderInfoDataBase& folders) {
  LoadText(url, TextFormat::kPLS, files, folders);
}

void CPlayList::ReadM3U(CStream& stream, CFileInfoDataBase& files, CFolderInfoDataBase&) {
  ReadText(stream, TextFormat::kM3U, files);
}

void CPlayList::ReadPLS(CStream& stream, CFileInfoDataBase& files, CFolderInfoDataBase&) {
  ReadText(stream, TextFormat::kPLS, files);
}

void CPlayList::LoadAny(const char* url, CFileInfoDataBase& files, CFolderInfoDataBase& folders) {
  if (EndsWithNoCase(url, ".m3u")) return LoadM3U(url, files, folders);
  if (EndsWithNoCase(url, ".pls")) return LoadPLS(url, files, folders);
  Load(url, files, folders);
}

void CPlayList::LoadText(const char* url, TextFormat format, CFileInfoDataBase& files, CFolderInfoDataBase&) {
  Reset();
  CStream* stream =
      GetFileSystem().Open(url, kStreamRead | kStreamLengthKnown | kStreamOpenExistingToo | kStreamShareRead, 0);
  try {
    ReadText(*stream, format, files);
  } catch (...) {
    stream->CloseNoThrow();
    throw;
  }
  stream->Close();
}

void CPlayList::ReadText(CStream& stream, TextFormat format, CFileInfoDataBase& files) {
  Reset();
  const LONGLONG length = stream.GetLength(true, nullptr);
  if (length == 0) return;
  if (length < 0 || length > kMaxPlayListTextSize) ThrowCorruptedPlayListError();
  CStr streamUrl;
  stream.GetURL(streamUrl);
  const PlayListTextBase base = PlayListTextBase::FromUrl(streamUrl.c_str());
  const std::string text = ReadWholeText(stream, length);
  const std::vector<PlayListTextEntry> entries =
      format == TextFormat::kM3U ? ParseM3U(text, base) : ParsePLS(text, base);
  for (const PlayListTextEntry& entry : entries) {
    // Recorded under the entry's own URL, where the playlist looks for it.
    if (!entry.title.empty()) files.UpdateFileInfo(entry.url.c_str(), entry.title.c_str(), kTitlePriority, 0, 0, 0, 0);
    Insert(new CPlayListFileEntry(files.Get(entry.url.c_str()), kVolume), -1);
  }
  Renumber();
  m_URL = streamUrl;
  m_StoredURL = CStr();
  UpdateName();
}

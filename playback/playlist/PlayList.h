// CPlayList: the top of a playlist tree together with what a playlist file
// adds: the URL it was loaded from or saved to, the URL stored inside the
// native file loaded last, the loop and shuffle switches and a display
// name (the file title of the URL).
//
// Threading: the playlist model belongs to the user-interface thread.
#pragma once

#include "foundation/kernel/Str.h"
#include "playback/playlist/PlayListEntryHolder.h"

class CFileInfoDataBase;
class CFolderInfoDataBase;
class CStream;

class CPlayList : public CPlayListEntryHolder {
  TWL_DECLARE_CLASS(CPlayList)
 public:
  // Empty, with empty texts and both switches off.
  CPlayList() = default;

  // Deletes every entry, zeroes the counts, empties the name and turns both
  // switches off; the two URLs stay. Every loader starts with it.
  void Reset();
  // A copy of the source's entries, counts, URLs, switches and name.
  void Assign(const CPlayList& source);

  CStr GetURL() const { return m_URL; }
  void SetURL(const char* url) { m_URL = url; }
  const CStr& GetStoredURL() const { return m_StoredURL; }
  void SetStoredURL(const char* url) { m_StoredURL = url; }
  bool GetLoop() const { return m_Loop != 0; }
  void SetLoop(bool loop) { m_Loop = loop; }
  bool GetShuffle() const { return m_Shuffle != 0; }
  void SetShuffle(bool shuffle) { m_Shuffle = shuffle; }

  // name := file title of the URL.
  void UpdateName();
  CStr GetName() const { return m_Name; }
  void SetName(const char* name) { m_Name = name; }

  // The native playlist file ("Ostrell PlayList"). Load opens the URL and
  // reads the whole file; file entries take their records from `files`,
  // folder entries from `folders`, and stored titles and durations go into
  // `files`. Entry URLs that pointed near the place the file was saved at
  // follow it to where it is loaded from. Errors are thrown as error
  // objects; the playlist is then reset or holds the entries read so far.
  void Load(const char* url, CFileInfoDataBase& files, CFolderInfoDataBase& folders);
  void Read(CStream& stream, CFileInfoDataBase& files, CFolderInfoDataBase& folders);
  // The text playlists of other programs (M3U, PLS; see PlayListText.h),
  // read as a whole, at most 10 MiB: file entries of volume 100; a PLS
  // title becomes the file's title with priority 128. An empty text is an
  // empty playlist (the URL stays as it was); errors are thrown as error
  // objects.
  void LoadM3U(const char* url, CFileInfoDataBase& files, CFolderInfoDataBase& folders);
  void ReadM3U(CStream& stream, CFileInfoDataBase& files, CFolderInfoDataBase& folders);
  void LoadPLS(const char* url, CFileInfoDataBase& files, CFolderInfoDataBase& folders);
  void ReadPLS(CStream& stream, CFileInfoDataBase& files, CFolderInfoDataBase& folders);
  // The reader the URL's extension names (".m3u", ".pls", without case),
  // else the native one.
  void LoadAny(const char* url, CFileInfoDataBase& files, CFolderInfoDataBase& folders);

  // Save writes a temporary file beside the target and puts it in the
  // target's place only when it is complete, so a failed save keeps the
  // old file. The playlist's URL and name become the target's. Titles and
  // durations are read from `files`.
  void Save(const char* url, CFileInfoDataBase& files);
  // Writes the playlist with the stream's URL as its location.
  void Write(CStream& stream, CFileInfoDataBase& files);

 private:
  enum class TextFormat { kM3U, kPLS };
  void LoadText(const char* url, TextFormat format, CFileInfoDataBase& files, CFolderInfoDataBase& folders);
  void ReadText(CStream& stream, TextFormat format, CFileInfoDataBase& files);
  void WriteAs(CStream& stream, const CStr& location, CFileInfoDataBase& files);

  CStr m_URL;
  CStr m_StoredURL;
  BYTE m_Loop = 0;
  BYTE m_Shuffle = 0;
  CStr m_Name;
};

// CPlayList: the top of a playlist tree together with what a playlist file
// adds: the URL it was loaded from or saved to, the URL stored inside the
// native file loaded last, the loop and shuffle switches and a display
// name (the file title of the URL).
//
// Threading: the playlist model belongs to the user-interface thread.
#pragma once

#include "foundation/kernel/Str.h"
#include "playback/playlist/PlayListEntryHolder.h"

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

 private:
  CStr m_URL;
  CStr m_StoredURL;
  BYTE m_Loop = 0;
  BYTE m_Shuffle = 0;
  CStr m_Name;
};

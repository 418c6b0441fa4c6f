#include "playback/playlist/PlayList.h"

#include "playback/playlist/FileTitle.h"

// Registered on CTypedObject, not on CPlayListEntryHolder, so the class
// manager does not count a playlist as an entry holder.
TWL_IMPLEMENT_CREATABLE_CLASS(CPlayList, CTypedObject)

void CPlayList::Reset() {
  RemoveAll(true, true);
  m_Name = CStr();
  m_Loop = 0;
  m_Shuffle = 0;
}

void CPlayList::Assign(const CPlayList& source) {
  if (&source == this) return;
  CPlayListEntryHolder::Assign(source);
  m_URL = source.m_URL;
  m_StoredURL = source.m_StoredURL;
  m_Loop = source.m_Loop;
  m_Shuffle = source.m_Shuffle;
  m_Name = source.m_Name;
}

void CPlayList::UpdateName() { m_Name = GetFileTitle(m_URL); }

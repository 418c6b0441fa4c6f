// CSkinInfo: what a skin says about itself (name, copyright, artist, a
// comment, its own version text), where it was read from, and the player
// versions it was made for, each packed as major x 65536 + minor in
// hundredths (1.60 is 0x0001003C). Read from "Skin.ini" of a skin folder
// or from the "INFO" chunk of a compiled skin, and written into that
// chunk. Plain data, one thread at a time.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"
#include "skins/base/SkinBase.h"

class CStream;

class CSkinInfo : public CSkinBase {
  TWL_DECLARE_CLASS(CSkinInfo)
 public:
  CSkinInfo() noexcept = default;

  // Reads "Skin.ini" of the folder (path ends with a separator). False
  // with the reason in the thread's error state: the file could not be
  // read, or a version entry is missing.
  bool LoadFromFolder(const char* folder);
  // Reads the "INFO" chunk of a compiled skin file; false with the reason
  // in the thread's error state.
  bool LoadFromCompiledFile(const char* url);
  // The file head and the first chunk, which must be "INFO"; throws.
  void ReadFromStream(CStream& stream);
  // The sub-chunks of an "INFO" chunk of `length` bytes; throws, with the
  // texts cleared again.
  void ReadInfo(CStream& stream, DWORD length);
  // "IPVR", then the texts that are not empty.
  void WriteInfo(CStream& stream) const;
  // Empties the five texts and the path; the versions stay.
  void Clear();

  CStr m_Name;
  CStr m_Copyright;
  CStr m_Artist;
  CStr m_Info;
  CStr m_Version;
  CStr m_Path;
  DWORD m_DevelopedForVersion = 0;
  DWORD m_MinVersion = 0;
};

// "X.YY" of a packed version.
CStr FormatPlayerVersion(DWORD version);

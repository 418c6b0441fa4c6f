#include "skins/info/SkinInfo.h"

#include <cstring>
#include <memory>
#include <new>

#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/filesystem/FileSystem.h"
#include "foundation/ini/IniData.h"
#include "foundation/ini/IniItems.h"
#include "foundation/ini/IniParser.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/streams/Stream.h"
#include "skins/base/ChunkIo.h"
#include "skins/base/SkinErrors.h"
#include "skins/compiled/SkinFileFormat.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CSkinInfo, CSkinBase)

namespace {

constexpr DWORD kTagIPVR = MakeTag("IPVR");
constexpr DWORD kTagINAM = MakeTag("INAM");
constexpr DWORD kTagICPY = MakeTag("ICPY");
constexpr DWORD kTagIART = MakeTag("IART");
constexpr DWORD kTagICMT = MakeTag("ICMT");
constexpr DWORD kTagIVER = MakeTag("IVER");

// The part after the last "\" or "/", a separator that ends the text
// ignored; the whole text when there is none.
CStr LastPathPart(const CStr& path, bool ignoreFinalSeparator) {
  const char* text = path.c_str();
  size_t end = path.GetLength();
  if (ignoreFinalSeparator && end > 0 && (text[end - 1] == '\\' || text[end - 1] == '/')) --end;
  size_t start = end;
  while (start > 0 && text[start - 1] != '\\' && text[start - 1] != '/') --start;
  return CStr(text + start, end - start);
}

CStr ReadText(CStream& stream, DWORD length) {
  RequireStreamBytes(stream, length);
  std::unique_ptr<char[]> bytes(new (std::nothrow) char[length ? length : 1]);
  if (!bytes) ThrowMemoryError();
  ReadExact(stream, bytes.get(), length);
  return CStr(bytes.get(), length);
}

}  // namespace

CStr FormatPlayerVersion(DWORD version) { return CStr::Format("%d.%02d", version >> 16, version & 0xFFFF); }

void CSkinInfo::Clear() {
  m_Name = m_Copyright = m_Artist = m_Info = m_Version = m_Path = CStr();
}

bool CSkinInfo::LoadFromFolder(const char* folder) {
  Clear();
  bool developedForFound = false;
  bool minFound = false;
  CIniData items;
  items.AddItem(new CIniStringItem("Name", &m_Name));
  items.AddItem(new CIniStringItem("Copyright", &m_Copyright));
  items.AddItem(new CIniStringItem("Artist", &m_Artist));
  items.AddItem(new CIniStringItem("Info", &m_Info));
  items.AddItem(new CIniStringItem("Version", &m_Version));
  items.AddItem(new CIniVersionItem("DevelopedForPlayerVersion", &m_DevelopedForVersion, &developedForFound));
  items.AddItem(new CIniVersionItem("MinPlayerVersion", &m_MinVersion, &minFound));
  items.AddItem(new CIniVersionItem("DevelopedForOstrellVersion", &m_DevelopedForVersion, &developedForFound));
  items.AddItem(new CIniVersionItem("MinOstrellVersion", &m_MinVersion, &minFound));
  CStr errors;
  try {
    CIniParser().ParseFile(CStr(folder) + "Skin.ini", items, errors);
  } catch (CError* error) {
    StoreThreadError(error);
    DisposeError(error);
    return false;
  }
  // Lines that fail to parse do not matter here; only the versions do.
  CStr missing;
  if (!developedForFound && minFound)
    missing = LocalText("SkinError.DevelopedForVersionMissing",
                        "'DevelopedForPlayerVersion' entry is missing in Skin.ini.");
  else if (!developedForFound)
    missing = LocalText("SkinError.DevelopedForAndMinimumVersionMissing",
                        "'DevelopedForPlayerVersion' and 'MinPlayerVersion' entries are missing in Skin.ini.");
  else if (!minFound)
    missing = LocalText("SkinError.MinimumVersionMissing", "'MinPlayerVersion' entry is missing in Skin.ini.");
  if (!missing.IsEmpty()) {
    SetThreadError(THREAD_ERROR_GENERAL, 0, missing);
    return false;
  }
  if (m_Name.IsEmpty()) m_Name = LastPathPart(folder, true);
  m_Path = folder;
  return true;
}

bool CSkinInfo::LoadFromCompiledFile(const char* url) {
  CStream* stream = nullptr;
  try {
    stream = GetFileSystem().Open(url, kStreamRead | kStreamBuffered | kStreamShareRead, 0);
    ReadFromStream(*stream);
    stream->Close();
    return true;
  } catch (CError* error) {
    if (stream) stream->CloseNoThrow();
    StoreThreadError(error);
    DisposeError(error);
    return false;
  }
}

void CSkinInfo::ReadFromStream(CStream& stream) {
  char magic[kSkinMagicSize];
  ReadExact(stream, magic, kSkinMagicSize);
  if (std::memcmp(magic, kSkinMagic, kSkinMagicSize) != 0) ThrowCorruptedFile();
  const DWORD rest = ReadU32(stream);
  if (rest <= 7) ThrowCorruptedFile();
  const ChunkHead head = ReadChunkHead(stream);
  if (head.tag != kTagINFO || head.length > rest - 8) ThrowCorruptedFile();
  ReadInfo(stream, head.length);
}

void CSkinInfo::ReadInfo(CStream& stream, DWORD length) {
  Clear();
  try {
    bool versionsRead = false;
    DWORD remaining = length;
    while (remaining != 0) {
      const ChunkHead head = NextChunk(stream, remaining);
      CStr* text = nullptr;
      switch (head.tag) {
        case kTagINAM: text = &m_Name; break;
        case kTagICPY: text = &m_Copyright; break;
        case kTagIART: text = &m_Artist; break;
        case kTagICMT: text = &m_Info; break;
        case kTagIVER: text = &m_Version; break;
        default: break;
      }
      if (text) {
        if (!text->IsEmpty()) ThrowCorruptedFile();
        *text = ReadText(stream, head.length);
      } else if (head.tag == kTagIPVR) {
        if (versionsRead || head.length < 8) ThrowCorruptedFile();
        m_MinVersion = ReadU32(stream);
        m_DevelopedForVersion = ReadU32(stream);
        SkipExact(stream, head.length - 8);
        versionsRead = true;
      } else {
        SkipExact(stream, head.length);
      }
    }
    if (!versionsRead) ThrowCorruptedFile();
    CStr url;
    stream.GetURL(url);
    if (m_Name.IsEmpty()) m_Name = LastPathPart(url, false);
    m_Path = url;
  } catch (...) {
    Clear();
    throw;
  }
}

void CSkinInfo::WriteInfo(CStream& stream) const {
  const LONGLONG versions = BeginChunk(stream, kTagIPVR);
  WriteU32(stream, m_MinVersion);
  WriteU32(stream, m_DevelopedForVersion);
  EndChunk(stream, versions);
  const std::pair<DWORD, const CStr*> texts[] = {
      {kTagINAM, &m_Name}, {kTagICPY, &m_Copyright}, {kTagIART, &m_Artist}, {kTagICMT, &m_Info}, {kTagIVER, &m_Version}};
  for (const auto& [tag, text] : texts) {
    if (text->IsEmpty()) continue;
    const LONGLONG chunk = BeginChunk(stream, tag);
    stream.Write(text->c_str(), static_cast<DWORD>(text->GetLength()));
    EndChunk(stream, chunk);
  }
}

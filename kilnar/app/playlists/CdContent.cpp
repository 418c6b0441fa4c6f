#include "kilnar/app/playlists/CdContent.h"

#include <stdlib.h>
#include <unistd.h>
#include <windows.h>

#include "kilnar/app/playlists/PlaylistKinds.h"
#include "kilnar/app/playlists/PlaylistPaths.h"
#include "kilnar/app/playlists/Transliteration.h"

namespace {

// The sizes the values are read into: a longer name or path ends the list.
constexpr DWORD kValueNameSize = 200;
constexpr DWORD kValueDataSize = 256;

std::string TemporaryFolder() {
  const char* folder = std::getenv("TMPDIR");
  return folder && *folder ? folder : "/tmp";
}

}  // namespace

CdContent::~CdContent() {
  m_albums.clear();
  if (!m_privateFolder.empty()) rmdir(m_privateFolder.c_str());
}

bool CdContent::SetConversionFolder(const std::string& /*requested*/) {
  if (m_privateFolder.empty()) {
    std::string pattern = JoinFolder(TemporaryFolder(), "kilnar-XXXXXX");
    if (!mkdtemp(pattern.data())) return false;
    m_privateFolder = pattern;
  }
  m_conversionFolder = m_privateFolder;
  return true;
}

CdPlaylist* CdContent::AddPlaylist(const std::string& path) {
  std::unique_ptr<CdPlaylist> album = MakeCdPlaylist(path);
  if (!album) return nullptr;
  album->SetOutputFolder(m_conversionFolder);
  m_albums.push_back(std::move(album));
  return m_albums.back().get();
}

CdPlaylist* CdContent::GetAlbum(int index) const {
  if (index < 1 || index > GetAlbumCount()) return nullptr;
  return m_albums[static_cast<size_t>(index - 1)].get();
}

std::string CdContent::GetInstaller(int index) const {
  if (index < 0 || index >= GetInstallerCount()) return {};
  return m_installers[static_cast<size_t>(index)];
}

void CdContent::ReadAdditionalInstallers(const std::string& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS &&
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
    return;
  m_installers.clear();
  for (DWORD index = 0;; ++index) {
    char name[kValueNameSize];
    DWORD nameLength = sizeof name;
    // One byte more than the value may fill: the path always ends.
    BYTE data[kValueDataSize + 1] = {};
    DWORD dataLength = kValueDataSize;
    DWORD type = 0;
    if (RegEnumValueA(opened, index, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS) break;
    const std::string path(reinterpret_cast<const char*>(data));
    if (CdPlaylist::FileExists(path)) m_installers.push_back(path);
  }
  RegCloseKey(opened);
}

bool CdContent::FindTracksOnCdrom() const {
  for (const auto& album : m_albums) {
    for (int32_t i = 0; i < album->GetUniqueCount(); ++i) {
      const std::string folder = FolderWithSeparator(album->GetUniqueEntry(static_cast<size_t>(i)));
      if (GetDriveTypeA(folder.empty() ? "." : folder.c_str()) == DRIVE_CDROM) return true;
    }
  }
  return false;
}

bool CdContent::FindLongNames(std::string& out) const {
  out.clear();
  for (const auto& album : m_albums) {
    if (CdNameLength(Transliterated(album->GetName())) > kLongestName) out += album->GetName() + "\n";
    for (int32_t i = 0; i < album->GetUniqueCount(); ++i) {
      if (CdNameLength(album->GetCdName(static_cast<size_t>(i))) > kLongestName)
        out += album->GetUniqueEntry(static_cast<size_t>(i)) + "\n";
    }
  }
  return !out.empty();
}

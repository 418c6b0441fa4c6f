#include "kilnar/app/playlists/CdPlaylist.h"

#include <windows.h>

#include "kilnar/app/playlists/BinaryFile.h"
#include "kilnar/app/playlists/PlaylistPaths.h"

CdPlaylist::CdPlaylist(const std::string& path) : m_name(AlbumNameOf(path)), m_path(path) {}

CdPlaylist::~CdPlaylist() { DeleteOutput(); }

void CdPlaylist::Load(const std::string& path) {
  m_name = AlbumNameOf(path);
  m_path = path;
  m_outputFolder.clear();
  DeleteOutput();
  m_outputPath.clear();
  Fill();
}

void CdPlaylist::SetName(const std::string& name) {
  m_name = name;
  m_cdNamesValid = false;
}

bool CdPlaylist::DeleteOutput() {
  if (m_outputPath.empty()) return false;
  return DeleteFileA(m_outputPath.c_str()) != FALSE;
}

void CdPlaylist::ClearAll() { m_all.clear(); }

void CdPlaylist::ClearUnique() {
  m_unique.clear();
  m_uniqueIndex.clear();
  m_cdNamesValid = false;
}

void CdPlaylist::ReadAll() {
  for (const std::string& path : ReadPaths()) AddToAll(path);
}

void CdPlaylist::ReadUnique() {
  for (const std::string& path : ReadPaths()) AddToUnique(path);
}

void CdPlaylist::Fill() {
  ClearAll();
  ClearUnique();
  ReadAll();
  ReadUnique();
}

void CdPlaylist::AddToAll(const std::string& path) {
  if (FileExists(path)) m_all.push_back(path);
}

void CdPlaylist::AddToUnique(const std::string& path) {
  if (m_uniqueIndex.count(path) != 0 || !FileExists(path)) return;
  m_uniqueIndex.emplace(path, m_unique.size());
  m_unique.push_back(path);
  m_cdNamesValid = false;
}

bool CdPlaylist::FileExists(const std::string& path) { return !path.empty() && FileSizeOf(path) > 0; }

void CdPlaylist::ComputeTotalSize() {
  m_totalSize = 0;
  for (const std::string& path : m_unique) m_totalSize += FileSizeOf(path);
}

std::string CdPlaylist::GetCopyName() const {
  const std::string extension = GetCopyExtension();
  return extension.empty() ? std::string() : CdFileName(m_name + extension);
}

std::string CdPlaylist::GetCdName(size_t index) const {
  MakeCdNames();
  return index < m_cdNames.size() ? m_cdNames[index] : std::string();
}

std::string CdPlaylist::GetCdNameOf(const std::string& path) const {
  const auto found = m_uniqueIndex.find(path);
  return found == m_uniqueIndex.end() ? std::string() : GetCdName(found->second);
}

void CdPlaylist::MakeCdNames() const {
  if (m_cdNamesValid) return;
  m_cdNames = UniqueCdNames(m_unique, GetCopyName());
  m_cdNamesValid = true;
}

std::string CdPlaylist::PlaylistFolder() const { return FolderWithSeparator(m_path); }

bool CdPlaylist::WriteCopy(const std::string& bytes) {
  return WriteCopyWith([&bytes](BinaryFile& file) { return file.Write(bytes.data(), bytes.size()); });
}

bool CdPlaylist::WriteCopyWith(const std::function<bool(BinaryFile&)>& write) {
  const std::string copyName = GetCopyName();
  if (m_outputFolder.empty() || copyName.empty()) return false;
  const std::string path = JoinFolder(m_outputFolder, copyName);
  if (!m_outputPath.empty() && path != m_outputPath) {
    DeleteOutput();
    m_outputPath.clear();
  }
  // Only the copy this object wrote before may be written over.
  BinaryFile file;
  if (!file.Create(path, path == m_outputPath)) return false;
  m_outputPath = path;
  if (write(file)) return true;
  file.Close();
  DeleteOutput();
  m_outputPath.clear();
  return false;
}

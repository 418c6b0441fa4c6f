// What one burn puts on the CD: the album (the playlist to burn), the
// autostart files, the player's installers and the path of the CD's own
// playlist, with the checks the dialog runs before it burns. The albums
// write their playlist copies into a private folder made for this object,
// which goes with it: no file that was there before is written or deleted.
// Used on the user-interface thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "kilnar/app/playlists/CdPlaylist.h"

class CdContent {
 public:
  // The characters a name may have on the CD.
  static constexpr size_t kLongestName = 64;

  CdContent() = default;
  CdContent(const CdContent&) = delete;
  CdContent& operator=(const CdContent&) = delete;
  // Destroys the albums (which delete their copies), then the private
  // folder.
  virtual ~CdContent();

  void SetAutorunInfPath(const std::string& path) { m_autorunInfPath = path; }
  std::string GetAutorunInfPath() const { return m_autorunInfPath; }
  // The albums' copies go into a folder made for this object under the
  // temporary folder, whatever folder is named (the dialog names the
  // root of a disk, whose files a copy could overwrite). False when no
  // such folder could be made; the albums then write no copy.
  bool SetConversionFolder(const std::string& requested);
  const std::string& GetConversionFolder() const { return m_conversionFolder; }
  void SetIconPath(const std::string& path) { m_iconPath = path; }
  std::string GetIconPath() const { return m_iconPath; }
  void SetInstallerFolderName(const std::string& name) { m_installerFolderName = name; }
  std::string GetInstallerFolderName() const { return m_installerFolderName; }
  void SetCdPlaylistPath(const std::string& path) { m_cdPlaylistPath = path; }
  std::string GetCdPlaylistPath() const { return m_cdPlaylistPath; }
  void SetStartProgramPath(const std::string& path) { m_startProgramPath = path; }
  std::string GetStartProgramPath() const { return m_startProgramPath; }
  void SetInstallerPath(const std::string& path) { m_installerPath = path; }
  std::string GetInstallerPath() const { return m_installerPath; }

  // The album read from the playlist, owned here; null (and no album
  // counted) for a path of no playlist kind.
  CdPlaylist* AddPlaylist(const std::string& path);
  // Albums count from 1.
  CdPlaylist* GetAlbum(int index) const;
  int GetAlbumCount() const { return static_cast<int>(m_albums.size()); }

  // The existing, non-empty files the values of the key name, read under
  // HKEY_CURRENT_USER or, without the key there, HKEY_LOCAL_MACHINE.
  void ReadAdditionalInstallers(const std::string& key);
  int GetInstallerCount() const { return static_cast<int>(m_installers.size()); }
  std::string GetInstaller(int index) const;

  // A track of an album lies on a CD: the folder holding it is on a CD-ROM.
  bool FindTracksOnCdrom() const;
  // Album names and the tracks' CD names longer than the CD allows; `out`
  // lists each (the album's name, the track's path) with a line feed.
  bool FindLongNames(std::string& out) const;

 private:
  std::string m_autorunInfPath;
  std::string m_conversionFolder;
  std::string m_iconPath;
  std::string m_installerFolderName;
  std::string m_cdPlaylistPath;
  std::string m_startProgramPath;
  std::string m_installerPath;
  std::vector<std::unique_ptr<CdPlaylist>> m_albums;
  std::vector<std::string> m_installers;
  // The folder this object made, removed with it.
  std::string m_privateFolder;
};

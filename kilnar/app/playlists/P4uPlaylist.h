// An album read from a native playlist (".p4u", ".wpl", ".apl"): its file
// entries, in order, as local paths ("file://" URLs and plain paths; other
// URLs name nothing on the disk). The CD copy is a native playlist whose
// entries are "<VAR>\" and the file's CD name, each keeping its kind,
// folder flags and volume, so that the player finds the files beside it.
#pragma once

#include "kilnar/app/playlists/CdPlaylist.h"
#include "kilnar/app/playlists/NativePlaylist.h"

class P4uPlaylist : public CdPlaylist {
 public:
  // The placeholder folder of the copies' entries and base.
  static constexpr char kPlaceholder[] = "<VAR>\\";

  explicit P4uPlaylist(const std::string& path);
  const char* GetClassName() const override { return "P4uPlaylist"; }
  bool Save() override;
  // Reads the native playlist of the new path, then the lists.
  void Load(const std::string& path) override;

  // The result of reading the native playlist.
  int GetLoadResult() const { return m_loadResult; }
  const NativePlaylist& GetNative() const { return m_native; }

 protected:
  std::vector<std::string> ReadPaths() override;
  std::string GetCopyExtension() const override { return ".P4U"; }

 private:
  NativePlaylist m_native;
  int m_loadResult = 0;
};

// An album: a playlist file read into the list of its existing media files
// (all entries in playlist order, and each file once), and the copy of the
// playlist written for the CD, whose entries name the files by their names
// on the CD. The kinds of playlist file are classes derived from this one;
// by itself it reads and writes nothing. The copy is written into the
// output folder, never over a file that was there before, and deleted with
// the object. Used on the user-interface thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

class BinaryFile;

class CdPlaylist {
 public:
  // Names the album after the file (without folder and extension). Derived
  // classes read the file at once.
  explicit CdPlaylist(const std::string& path);
  CdPlaylist(const CdPlaylist&) = delete;
  CdPlaylist& operator=(const CdPlaylist&) = delete;
  // Deletes the copy that Save wrote.
  virtual ~CdPlaylist();

  // Reads another file into emptied lists.
  virtual void Load(const std::string& path);
  std::string GetPath() const { return m_path; }
  std::string GetName() const { return m_name; }
  void SetName(const std::string& name);
  void SetOutputFolder(const std::string& folder) { m_outputFolder = folder; }
  std::string GetOutputPath() const { return m_outputPath; }
  // Writes the CD copy into the output folder; false when nothing could be
  // written (or this kind writes none).
  virtual bool Save() { return false; }
  // True when the copy was there and is gone.
  bool DeleteOutput();
  void ClearUnique();
  void ClearAll();
  virtual void ReadAll();
  virtual void ReadUnique();

  // The class's name, as the program's drivers print it.
  virtual const char* GetClassName() const { return "CdPlaylist"; }

  int32_t GetAllCount() const { return static_cast<int32_t>(m_all.size()); }
  int32_t GetUniqueCount() const { return static_cast<int32_t>(m_unique.size()); }
  const std::string& GetAllEntry(size_t index) const { return m_all[index]; }
  std::string GetUniqueEntry(size_t index) const { return index < m_unique.size() ? m_unique[index] : std::string(); }
  // The name the unique file of that index gets in the album's folder on
  // the CD: its own name transliterated, with "(2)", "(3)", ... before the
  // extension when an earlier file, or the copy, has that name without
  // regard to case.
  std::string GetCdName(size_t index) const;
  // The CD name of a path of the lists; empty for another.
  std::string GetCdNameOf(const std::string& path) const;
  // The name the copy gets (the album name transliterated, with the
  // kind's extension); empty for a kind that writes none.
  std::string GetCopyName() const;

  void ComputeTotalSize();
  uint64_t GetTotalSize() const { return m_totalSize; }

  // Found, and not empty.
  static bool FileExists(const std::string& path);

 protected:
  // The paths the playlist file names, in its order, before any is checked.
  virtual std::vector<std::string> ReadPaths() { return {}; }
  // The extension of the copy (".M3U"); empty when the kind writes none.
  virtual std::string GetCopyExtension() const { return {}; }
  // The lists filled from the file, as construction does.
  void Fill();
  void AddToAll(const std::string& path);
  void AddToUnique(const std::string& path);
  // Writes the bytes as a new file at the copy's path: never over a file
  // that this object did not write itself.
  bool WriteCopy(const std::string& bytes);
  bool WriteCopyWith(const std::function<bool(BinaryFile&)>& write);
  // The folder of m_path, with its last separator.
  std::string PlaylistFolder() const;

  uint64_t m_totalSize = 0;
  std::string m_name;
  std::string m_path;
  std::vector<std::string> m_all;
  std::vector<std::string> m_unique;
  std::unordered_map<std::string, size_t> m_uniqueIndex;
  std::string m_outputFolder;
  std::string m_outputPath;

 private:
  void MakeCdNames() const;

  mutable std::vector<std::string> m_cdNames;
  mutable bool m_cdNamesValid = false;
};

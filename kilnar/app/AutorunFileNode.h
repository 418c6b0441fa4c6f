// A generated AUTORUN.INF: a file node whose source the node writes itself
// into the program's temporary folder (SETUP/TEMPPATH of the program's
// settings file, else the system's temporary folder), with the "open=" and
// "icon=" lines of its ISO track. The node deletes its file when it goes.
#pragma once

#include <string>

#include "kilnar/app/FileNode.h"

class AutorunFileNode : public FileNode {
 public:
  AutorunFileNode();
  ~AutorunFileNode() override;

  // A new node with a file of its own making, not a copy.
  std::unique_ptr<Node> Clone() const override;
  bool Refresh() override { return true; }
  void SetName(const std::string& /*name*/) override {}
  bool CanOpen() const override { return true; }

  // Writes the file again from the track's texts; the length of the text.
  size_t RegenerateFile();
  const std::string& GetFilePath() const { return m_FilePath; }

 private:
  std::string m_FilePath;
};

#include "kilnar/app/AutorunFileNode.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "kilnar/app/IsoTrack.h"
#include "kilnar/recorder/FileInfo.h"
#include "kilnar/recorder/IniEntry.h"
#include "kilnar/recorder/IniFile.h"

namespace {

std::string TemporaryFolder() {
  IniFile settings(nullptr, nullptr);
  char folder[IniFile::kValueSize] = {};
  settings.GetEntry("SETUP", "TEMPPATH").Read(folder, sizeof folder);
  if (*folder) return folder;
  std::vector<char> buffer(MAX_PATH);
  const DWORD length = GetTempPathA(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length == 0 || length >= buffer.size()) return ".";
  std::string path(buffer.data(), length);
  while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  return path;
}

}  // namespace

AutorunFileNode::AutorunFileNode() {
  m_FilePath = TemporaryFolder() + "/AUTORUN.INF";
  m_Names.SetPath(m_FilePath);
  RegenerateFile();
  bool isFolder = false;
  if (!GetFileInfo(m_FilePath.c_str(), &isFolder, &m_Size, &m_Time, &m_Hidden, nullptr)) {
    isFolder = true;
    m_Size = 0;
  }
  m_IsFolder = isFolder;
}

AutorunFileNode::~AutorunFileNode() { DeleteFileA(m_FilePath.c_str()); }

std::unique_ptr<Node> AutorunFileNode::Clone() const { return std::make_unique<AutorunFileNode>(); }

size_t AutorunFileNode::RegenerateFile() {
  const auto* track = dynamic_cast<const IsoTrack*>(FindOwningTrack());
  std::string text = "[AUTORUN]\r\n";
  if (track && !track->GetAutorunOpen().empty()) text += "open=" + track->GetAutorunOpen() + "\r\n";
  if (track && !track->GetAutorunIcon().empty()) text += "icon=" + track->GetAutorunIcon() + "\r\n";
  if (std::FILE* file = std::fopen(m_FilePath.c_str(), "wb")) {
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
  m_Size = GetFileSizeOf(m_FilePath.c_str());
  return text.size();
}

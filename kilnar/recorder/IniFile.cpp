#include "kilnar/recorder/IniFile.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "kilnar/recorder/IniEntry.h"
#include "kilnar/recorder/SplitPath.h"

namespace {

std::string ProgramPath() {
  char path[MAX_PATH * 4] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  return std::string(path, std::min<size_t>(length, sizeof path - 1));
}

// The folder of a path with its last separator ("/opt/burn/" of
// "/opt/burn/prog").
std::string FolderOf(const std::string& path) {
  const size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string ExtensionOr(const char* extension) {
  if (!extension || !*extension) return ".INI";
  if (*extension == '.') return extension;
  // Built by appending: GCC 12 sees a false overlap in "." + string and warns.
  std::string dotted(1, '.');
  dotted += extension;
  return dotted;
}

// Native separators for the part that is added to the program's folder, so
// that "MSG\SCSI.MSG" reads as MSG/SCSI.MSG on this system.
std::string WithSlashes(std::string text) {
  std::replace(text.begin(), text.end(), '\\', '/');
  return text;
}

bool StandsAlone(const SplitPath& split) { return *split.GetDrive() || split.GetFull()[0] == '/'; }

// Line breaks become "#": CR LF and a lone CR count as one break, as a lone
// LF does.
std::string OneLine(const char* value) {
  std::string line;
  for (const char* c = value; *c && line.size() < IniFile::kValueSize - 1; ++c) {
    if (*c == '\r' && c[1] == '\n') continue;
    line += *c == '\n' || *c == '\r' ? '#' : *c;
  }
  return line;
}

}  // namespace

IniFile::IniFile(const char* name, const char* extension) {
  m_Value[0] = '\0';
  if (!name || !*name) {
    SplitPath program(ProgramPath().c_str());
    m_Path = FolderOf(program.GetFull()) + program.GetName() + ExtensionOr(extension);
    return;
  }
  SplitPath split(name);
  const std::string ownExtension = *split.GetExtension() ? std::string() : ExtensionOr(extension);
  if (StandsAlone(split)) {
    m_Path = std::string(name) + ownExtension;
    return;
  }
  m_Path = FolderOf(ProgramPath()) + WithSlashes(name) + ownExtension;
}

const char* IniFile::GetString(const char* section, const char* key) {
  m_Value[0] = '\0';
  if (!section || !key) return m_Value;
  GetPrivateProfileStringA(section, key, "", m_Value, sizeof m_Value, m_Path.c_str());
  return m_Value;
}

void IniFile::WriteString(const char* section, const char* key, const char* value) {
  if (!section || !key || !value) return;
  WritePrivateProfileStringA(section, key, OneLine(value).c_str(), m_Path.c_str());
}

IniEntry IniFile::GetEntry(const char* section, const char* key) { return IniEntry(*this, section, key); }

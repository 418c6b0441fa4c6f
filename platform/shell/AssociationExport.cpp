// SHChangeNotify(SHCNE_ASSOCCHANGED): the classes root is the record of
// which program opens which file type; this hands it to the desktop. Each
// type key with a "shell\VERB\command" becomes
// $XDG_DATA_HOME/applications/<TYPE>.desktop (the default verb as its
// Exec, the other verbs as desktop actions, hidden from menus), and each
// extension whose default names such a type puts that file first among the
// default applications of every MIME type the shared MIME database gives
// exactly "*.EXT", in both mimeapps.list files (the data home's, which
// Debian's xdg-mime reads, and the config home's). Lines of other programs
// are kept; an exported file is taken out of every list its extension no
// longer names it for, so the previous program is the default again. A
// desktop's own change of default is not read back.
#include <strings.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "twlwin/errors.h"
#include "twlwin/registry.h"
#include "twlwin/shell.h"

namespace twl::shell {

namespace {

struct ExportedType {
  std::string name;
  std::string exec;
  std::vector<std::pair<std::string, std::string>> actions;  // verb name, exec
  std::set<std::string> mimeTypes;
};

std::string EnvironmentOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::string(value) : fallback;
}

std::string HomeFolder() { return EnvironmentOr("HOME", "/tmp"); }

std::string DataHome() { return EnvironmentOr("XDG_DATA_HOME", HomeFolder() + "/.local/share"); }
std::string ConfigHome() { return EnvironmentOr("XDG_CONFIG_HOME", HomeFolder() + "/.config"); }

std::string DefaultText(HKEY parent, const std::string& subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(parent, subKey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return {};
  char text[4096] = "";
  DWORD size = sizeof text - 1;
  DWORD type = 0;
  std::string result;
  if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    text[size < sizeof text ? size : sizeof text - 1] = '\0';
    result = text;
  }
  RegCloseKey(key);
  return result;
}

std::vector<std::string> SubKeys(HKEY parent, const std::string& subKey) {
  std::vector<std::string> names;
  HKEY key = nullptr;
  if (RegOpenKeyExA(parent, subKey.empty() ? nullptr : subKey.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, &key) !=
      ERROR_SUCCESS)
    return names;
  for (DWORD index = 0;; ++index) {
    char name[512];
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  RegCloseKey(key);
  return names;
}

// A Windows-style command as a desktop Exec line: the file argument "%1"
// (quoted or not) becomes %f and every other "%" is doubled.
std::string ExecOf(const std::string& command) {
  std::string exec;
  for (size_t at = 0; at < command.size();) {
    if (command.compare(at, 4, "\"%1\"") == 0) {
      exec += "%f";
      at += 4;
    } else if (command.compare(at, 2, "%1") == 0) {
      exec += "%f";
      at += 2;
    } else {
      exec += command[at] == '%' ? "%%" : std::string(1, command[at]);
      ++at;
    }
  }
  return exec;
}

std::string DesktopFileName(const std::string& type) { return type + ".desktop"; }

bool IsSafeFileName(const std::string& name) {
  return !name.empty() && name.find('/') == std::string::npos && name[0] != '.';
}

std::map<std::string, ExportedType> CollectTypes() {
  std::map<std::string, ExportedType> types;
  for (const std::string& type : SubKeys(HKEY_CLASSES_ROOT, "")) {
    if (type.empty() || type[0] == '.' || !IsSafeFileName(type)) continue;
    const std::string shell = type + "\\shell";
    const std::vector<std::string> verbs = SubKeys(HKEY_CLASSES_ROOT, shell);
    if (verbs.empty()) continue;
    std::string defaultVerb = DefaultText(HKEY_CLASSES_ROOT, shell);
    ExportedType exported;
    exported.name = DefaultText(HKEY_CLASSES_ROOT, type);
    if (exported.name.empty()) exported.name = type;
    for (const std::string& verb : verbs) {
      const std::string command = DefaultText(HKEY_CLASSES_ROOT, shell + "\\" + verb + "\\command");
      if (command.empty()) continue;
      if (defaultVerb.empty()) defaultVerb = verb;
      if (strcasecmp(verb.c_str(), defaultVerb.c_str()) == 0) {
        exported.exec = ExecOf(command);
        continue;
      }
      std::string label = DefaultText(HKEY_CLASSES_ROOT, shell + "\\" + verb);
      exported.actions.emplace_back(label.empty() ? verb : label, ExecOf(command));
    }
    if (!exported.exec.empty()) types.emplace(type, std::move(exported));
  }
  return types;
}

// MIME type by lower-case extension, from every globs2 of the data folders
// (only globs that are exactly "*.EXT").
std::map<std::string, std::set<std::string>> MimeTypesByExtension() {
  std::map<std::string, std::set<std::string>> byExtension;
  std::vector<std::string> folders = {DataHome()};
  std::stringstream dirs(EnvironmentOr("XDG_DATA_DIRS", "/usr/local/share:/usr/share"));
  for (std::string folder; std::getline(dirs, folder, ':');)
    if (!folder.empty()) folders.push_back(folder);
  for (const std::string& folder : folders) {
    std::ifstream globs(folder + "/mime/globs2");
    for (std::string line; std::getline(globs, line);) {
      if (line.empty() || line[0] == '#') continue;
      std::stringstream fields(line);
      std::string weight, mime, glob;
      if (!std::getline(fields, weight, ':') || !std::getline(fields, mime, ':') || !std::getline(fields, glob, ':'))
        continue;
      if (glob.size() < 3 || glob.compare(0, 2, "*.") != 0) continue;
      std::string extension = glob.substr(2);
      if (extension.find_first_of("*?[]") != std::string::npos) continue;
      for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      byExtension[extension].insert(mime);
    }
  }
  return byExtension;
}

void WriteDesktopFile(const std::string& folder, const std::string& type, const ExportedType& exported) {
  std::ostringstream text;
  text << "[Desktop Entry]\nType=Application\nName=" << exported.name << "\nExec=" << exported.exec
       << "\nNoDisplay=true\n";
  if (!exported.mimeTypes.empty()) {
    text << "MimeType=";
    for (const std::string& mime : exported.mimeTypes) text << mime << ';';
    text << '\n';
  }
  if (!exported.actions.empty()) {
    text << "Actions=";
    for (size_t index = 0; index < exported.actions.size(); ++index) text << "verb" << index << ';';
    text << '\n';
    for (size_t index = 0; index < exported.actions.size(); ++index)
      text << "\n[Desktop Action verb" << index << "]\nName=" << exported.actions[index].first
           << "\nExec=" << exported.actions[index].second << '\n';
  }
  std::ofstream(folder + "/" + DesktopFileName(type), std::ios::trunc) << text.str();
}

std::vector<std::string> SplitList(const std::string& list) {
  std::vector<std::string> items;
  std::stringstream stream(list);
  for (std::string item; std::getline(stream, item, ';');)
    if (!item.empty()) items.push_back(item);
  return items;
}

// Rewrites [Default Applications] of one mimeapps.list: our files out of
// every line, then the wanted one first for its MIME types.
void UpdateMimeApps(const std::string& path, const std::set<std::string>& ours,
                    const std::map<std::string, std::string>& wanted) {
  std::vector<std::string> lines;
  {
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
  }
  std::map<std::string, std::string> pending = wanted;
  std::vector<std::string> out;
  bool inDefaults = false;
  bool sawDefaults = false;
  auto flushPending = [&] {
    for (const auto& [mime, file] : pending) out.push_back(mime + "=" + file + ";");
    pending.clear();
  };
  for (const std::string& line : lines) {
    if (!line.empty() && line[0] == '[') {
      if (inDefaults) flushPending();
      inDefaults = line == "[Default Applications]";
      sawDefaults |= inDefaults;
      out.push_back(line);
      continue;
    }
    const size_t equals = line.find('=');
    if (!inDefaults || equals == std::string::npos) {
      out.push_back(line);
      continue;
    }
    const std::string mime = line.substr(0, equals);
    std::vector<std::string> kept;
    const auto want = pending.find(mime);
    if (want != pending.end()) kept.push_back(want->second);
    for (const std::string& item : SplitList(line.substr(equals + 1)))
      if (!ours.count(item)) kept.push_back(item);
    if (want != pending.end()) pending.erase(want);
    if (kept.empty()) continue;
    std::string joined = mime + "=";
    for (const std::string& item : kept) joined += item + ";";
    out.push_back(joined);
  }
  if (inDefaults) flushPending();
  if (!sawDefaults && !pending.empty()) {
    out.push_back("[Default Applications]");
    flushPending();
  }
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream file(path, std::ios::trunc);
  for (const std::string& line : out) file << line << '\n';
}

void ExportAssociations() {
  std::map<std::string, ExportedType> types = CollectTypes();
  const auto mimeTypes = MimeTypesByExtension();
  std::map<std::string, std::string> wanted;  // MIME type -> desktop file
  for (const std::string& key : SubKeys(HKEY_CLASSES_ROOT, "")) {
    if (key.size() < 2 || key[0] != '.') continue;
    const auto type = types.find(DefaultText(HKEY_CLASSES_ROOT, key));
    if (type == types.end()) continue;
    std::string extension = key.substr(1);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto mimes = mimeTypes.find(extension);
    if (mimes == mimeTypes.end()) continue;
    for (const std::string& mime : mimes->second) {
      wanted[mime] = DesktopFileName(type->first);
      type->second.mimeTypes.insert(mime);
    }
  }
  const std::string applications = DataHome() + "/applications";
  std::error_code error;
  std::filesystem::create_directories(applications, error);
  std::set<std::string> ours;
  for (const auto& [type, exported] : types) {
    WriteDesktopFile(applications, type, exported);
    ours.insert(DesktopFileName(type));
  }
  UpdateMimeApps(applications + "/mimeapps.list", ours, wanted);
  UpdateMimeApps(ConfigHome() + "/mimeapps.list", ours, wanted);
}

}  // namespace

}  // namespace twl::shell

TWLAPI void SHChangeNotify(LONG eventId, UINT flags, LPCVOID item1, LPCVOID item2) {
  (void)flags;
  (void)item1;
  (void)item2;
  if (static_cast<DWORD>(eventId) & SHCNE_ASSOCCHANGED) twl::shell::ExportAssociations();
}

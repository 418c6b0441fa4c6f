#include "app/associations/FileAssociations.h"

#include <cstring>

#include "app/associations/FileExtensionDialog.h"
#include "app/associations/VadiroGuard.h"
#include "app/core/System.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/MainWindow.h"
#include "foundation/appcore/ProductName.h"
#include "foundation/appcore/RegistryValues.h"
#include "foundation/appcore/SettingsKey.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Placeholder.h"
#include "playback/playersystem/PlayerSystem.h"

namespace associations {

namespace {

struct FileTypeInfo {
  const char* id;
  const char* nameKey;
  const char* nameDefault;
  const char* errorKey;
  const char* errorDefault;
  int icon;
};

const FileTypeInfo kFileTypes[] = {
    {"VelbrookTunewell.MediaFile", "CPlayerSystem.FileAssocTypeName.Media", "%PLAYER% media file",
     "CPlayerSystem.FileAssocTypeError.Media",
     "Error registering file extension type for generic media files. This might result in incorrect icons for files "
     "of these types in other applications like the Windows Explorer.",
     1},
    {"VelbrookTunewell.AudioFile", "CPlayerSystem.FileAssocTypeName.Audio", "%PLAYER% audio file",
     "CPlayerSystem.FileAssocTypeError.Audio",
     "Error registering file extension type for audio files. This might result in incorrect icons for files of these "
     "types in other applications like the Windows Explorer.",
     2},
    {"VelbrookTunewell.AnimationFile", "CPlayerSystem.FileAssocTypeName.Animation", "%PLAYER% animation",
     "CPlayerSystem.FileAssocTypeError.Animation",
     "Error registering file extension type for animation files. This might result in incorrect icons for files of "
     "these types in other applications like the Windows Explorer.",
     3},
    {"VelbrookTunewell.VideoFile", "CPlayerSystem.FileAssocTypeName.Video", "%PLAYER% video file",
     "CPlayerSystem.FileAssocTypeError.Video",
     "Error registering file extension type for video files. This might result in incorrect icons for files of these "
     "types in other applications like the Windows Explorer.",
     4},
};
constexpr const char* kPlayListTypeId = "VelbrookTunewell.PlayList";

// Keys opened below the classes root the system chose.
class ClassKey {
 public:
  ClassKey() = default;
  ClassKey(const ClassKey&) = delete;
  ClassKey& operator=(const ClassKey&) = delete;
  ~ClassKey() {
    if (m_Key) RegCloseKey(m_Key);
  }
  // Creates or opens the sub-key (below `parent`, or the classes root when
  // null) and, when a text is given, sets its default value.
  bool Create(HKEY parent, const char* name, const char* defaultText) {
    HKEY root = parent;
    CStr path(name);
    if (!root) {
      const CSystem& system = GetSystem();
      root = system.GetClassesRoot();
      if (*system.GetClassesPath().c_str()) path = system.GetClassesPath() + "\\" + name;
    }
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &m_Key,
                        nullptr) != ERROR_SUCCESS) {
      m_Key = nullptr;
      SetThreadError(THREAD_ERROR_GENERAL, 0,
                     LocalText("RegistryError.CreateOpenKey", "Error creating or opening registry key.").c_str());
      return false;
    }
    return !defaultText || SetRegistryString(m_Key, nullptr, defaultText);
  }
  HKEY Get() const { return m_Key; }

 private:
  HKEY m_Key = nullptr;
};

bool StartsWithOurPrefix(const CStr& text) {
  return std::strncmp(text.c_str(), kTypePrefix, std::strlen(kTypePrefix)) == 0;
}

CStr ProgramFile() { return GetSystem().GetProgramFolder() + kProgramFileName; }

// One type's keys: its name, "shell" with "play" (the default verb) and
// "addtolist", each with its command, and "DefaultIcon".
bool RegisterFileType(const FileTypeInfo& type) {
  const CStr program = ProgramFile();
  const CStr name = ReplacePlaceholder(LocalText(type.nameKey, type.nameDefault), {"%PLAYER%", kProductName});
  ClassKey typeKey, shell, play, playCommand, add, addCommand, icon;
  return typeKey.Create(nullptr, type.id, name.c_str()) && shell.Create(typeKey.Get(), "shell", "play") &&
         play.Create(shell.Get(), "play", "Play") &&
         playCommand.Create(play.Get(), "command", CStr::Format("\"%s\" -ag \"%%1\" -p", program.c_str()).c_str()) &&
         add.Create(shell.Get(), "addtolist", "Add To PlayList") &&
         addCommand.Create(add.Get(), "command", CStr::Format("\"%s\" -a \"%%1\"", program.c_str()).c_str()) &&
         icon.Create(typeKey.Get(), "DefaultIcon", CStr::Format("%s,%d", program.c_str(), type.icon).c_str());
}

void LogThreadErrorLine(const char* key, const char* text) {
  LogThreadError(LOG_CATEGORY_ERROR, LocalText(key, text).c_str());
}

CStr DefaultValueOf(HKEY key) {
  CStr text;
  if (!GetRegistryString(key, nullptr, text)) return CStr();
  return text;
}

void NotifyShell() { SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr); }

// Shows the dialog; a CError is logged and counts as Cancel.
bool AskUser(CFileExtensionEnum& list, int kind) {
  try {
    return CFileExtensionDialog::Run(list, GetMainWindowHandle(), kind);
  } catch (CError* error) {
    LogFormat(LOG_CATEGORY_ERROR, "%s: %s\n", error->GetCaption().c_str(), error->GetText().c_str());
    DisposeError(error);
    return false;
  }
}

// The registered flags of `from` go to the entries of `to` with the same
// extension.
void CopyFlags(const CFileExtensionEnum& from, CFileExtensionEnum& to) {
  for (int index = 0; index < from.GetCount(); ++index) {
    const FileExtensionEntry& entry = from.GetEntry(index);
    const int at = to.Find(entry.extension.c_str());
    if (at >= 0) to.GetEntry(at).registered = entry.registered;
  }
}

}  // namespace

const char* GetFileTypeId(DWORD fileType) {
  if (fileType == 4) return kPlayListTypeId;
  if (fileType >= 1 && fileType <= 3) return kFileTypes[fileType].id;
  return kFileTypes[0].id;
}

bool RegisterShellFileTypes() {
  bool all = true;
  for (const FileTypeInfo& type : kFileTypes) {
    if (RegisterFileType(type)) continue;
    LogThreadErrorLine(type.errorKey, type.errorDefault);
    all = false;
  }
  return all;
}

bool RegisterAssociation(const char* extension, const char* typeId) {
  ClassKey key;
  if (!key.Create(nullptr, (CStr(".") + extension).c_str(), nullptr)) return false;
  const CStr previous = DefaultValueOf(key.Get());
  if (*previous.c_str() && !StartsWithOurPrefix(previous) &&
      !SetRegistryString(key.Get(), kOldAssocValue, previous.c_str()))
    return false;
  return SetRegistryString(key.Get(), nullptr, typeId);
}

void RestoreAssociation(const char* extension) {
  if (!IsOurAssociation(extension)) return;
  ClassKey key;
  if (!key.Create(nullptr, (CStr(".") + extension).c_str(), nullptr)) return;
  CStr old;
  if (GetRegistryString(key.Get(), kOldAssocValue, old)) {
    SetRegistryString(key.Get(), nullptr, old.c_str());
    RegDeleteValueA(key.Get(), kOldAssocValue);
  } else {
    RegDeleteValueA(key.Get(), nullptr);
  }
}

bool IsOurAssociation(const char* extension) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, (CStr(".") + extension).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return false;
  const bool ours = StartsWithOurPrefix(DefaultValueOf(key));
  RegCloseKey(key);
  return ours;
}

bool ReadFileExtensions(CFileExtensionEnum& list) {
  HKEY key = nullptr;
  if (!OpenSettingsKey(KEY_QUERY_VALUE, &key)) {
    list.Clear();
    return false;
  }
  const bool read = list.LoadFromRegistry(key, kStoredListValue);
  RegCloseKey(key);
  return read;
}

void WriteFileExtensions(const CFileExtensionEnum& list) {
  HKEY key = nullptr;
  bool written = OpenSettingsKey(KEY_SET_VALUE, &key);
  if (written) {
    written = list.SaveToRegistry(key, kStoredListValue);
    RegCloseKey(key);
  }
  if (!written) LogThreadErrorLine("CPlayerSystem.StoreFileAssocInfoError", "Error storing file extension list in registry.");
}

bool RegisterMarked(CFileExtensionEnum& list) {
  if (GuardAgainstVadiro(list)) {
    LogText(LOG_CATEGORY_INFO, "CPlayerSystem.VadiroFileExtensionGuardDisabled",
            "The automatic VadIro file extension restoration had to be disabled to register the marked extensions for "
            "this player. Otherwise VadIro would have instantly reregistered these extensions.",
            "\n");
  }
  bool anyMarked = false;
  for (int index = 0; index < list.GetCount(); ++index) {
    FileExtensionEntry& entry = list.GetEntry(index);
    if (!entry.registered) continue;
    anyMarked = true;
    if (RegisterAssociation(entry.extension.c_str(), GetFileTypeId(entry.fileType))) continue;
    LogThreadErrorLine("CPlayerSystem.FileAssocError", "Error registering file extension");
    entry.registered = false;
  }
  return anyMarked;
}

void CheckFileAssociations(CPlayerSystem& players) {
  CFileExtensionEnum& current = players.GetFileExtensions();
  current.Clear();
  players.CollectFileExtensions(current);
  CFileExtensionEnum stored;
  const bool hadList = ReadFileExtensions(stored);
  current.Sort();
  stored.Sort();

  CFileExtensionEnum added;
  current.CollectMissing(stored, added, true);
  CFileExtensionEnum lost;
  stored.CollectMissing(current, lost, false);

  RegisterShellFileTypes();
  bool changed = false;
  for (int index = 0; index < lost.GetCount(); ++index) {
    const char* extension = lost.GetEntry(index).extension.c_str();
    RestoreAssociation(extension);
    LogFormat(LOG_CATEGORY_INFO, "%s\n",
              ReplacePlaceholder(LocalText("CPlayerSystem.RemovedUnsupportedFileAssoc",
                                           "removed file association for .%EXT% files because they are not supported "
                                           "anymore by any of the plugins."),
                                 {"%EXT%", extension})
                  .c_str());
    changed = true;
  }

  if (added.GetCount() > 0) {
    for (int index = 0; index < added.GetCount(); ++index) added.GetEntry(index).registered = true;
    if (AskUser(added, hadList ? CFileExtensionDialog::kNewExtensions : CFileExtensionDialog::kFirstStart)) {
      changed |= RegisterMarked(added);
    } else {
      for (int index = 0; index < added.GetCount(); ++index) added.GetEntry(index).registered = false;
    }
    CopyFlags(added, current);
  }

  CFileExtensionEnum taken;
  for (int index = 0; index < current.GetCount(); ++index) {
    const FileExtensionEntry& entry = current.GetEntry(index);
    if (entry.registered && !IsOurAssociation(entry.extension.c_str())) taken.Append(entry);
  }
  if (taken.GetCount() > 0 && AskUser(taken, CFileExtensionDialog::kReRegister)) {
    changed |= RegisterMarked(taken);
    CopyFlags(taken, current);
  }

  if (changed) NotifyShell();
  WriteFileExtensions(current);
}

void SetFileAssociations(CPlayerSystem& players, const CFileExtensionEnum& edited) {
  CFileExtensionEnum& current = players.GetFileExtensions();
  bool changed = false;
  for (int index = 0; index < edited.GetCount() && index < current.GetCount(); ++index) {
    const FileExtensionEntry& wanted = edited.GetEntry(index);
    FileExtensionEntry& entry = current.GetEntry(index);
    if (!wanted.registered && entry.registered) {
      RestoreAssociation(entry.extension.c_str());
      entry.registered = false;
      changed = true;
    } else if (wanted.registered && !entry.registered) {
      RegisterAssociation(entry.extension.c_str(), GetFileTypeId(wanted.fileType));
      entry.registered = true;
      entry.fileType = wanted.fileType;
      changed = true;
    }
  }
  if (!changed) return;
  RegisterShellFileTypes();
  WriteFileExtensions(current);
  NotifyShell();
}

}  // namespace associations

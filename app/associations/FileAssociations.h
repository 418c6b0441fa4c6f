// The player's file associations: at every start the extensions its
// players play are compared with the list stored last time ("FileExtensions"
// in the settings key); the user is asked about new extensions and about
// those another program took over, extensions no player plays any more get
// their previous program back, and four file types with their "play" and
// "addtolist" verbs and icons are registered below the classes root the
// system chose. An extension is the player's when its default value names
// one of its types ("VelbrookTunewell."); a default of another program is
// kept in "VelbrookTunewell.OldAssoc" of the same key.
//
// Registry failures never stop anything: each is logged and the rest goes
// on; an extension that could not be registered loses its mark, so it is
// offered again next time. After every change the shell is told
// (SHChangeNotify), which on this system also updates the desktop's
// default applications.
//
// Threading: the user-interface thread.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"
#include "playback/player/FileExtensionEnum.h"

class CPlayerSystem;

namespace associations {

constexpr const char* kTypePrefix = "VelbrookTunewell.";
constexpr const char* kOldAssocValue = "VelbrookTunewell.OldAssoc";
constexpr const char* kStoredListValue = "FileExtensions";
// The program the verbs start, in the program folder.
constexpr const char* kProgramFileName = "twl";

// The type identifier of a file type (0 and unknown types: media).
const char* GetFileTypeId(DWORD fileType);

bool RegisterShellFileTypes();
bool RegisterAssociation(const char* extension, const char* typeId);
void RestoreAssociation(const char* extension);
bool IsOurAssociation(const char* extension);
bool ReadFileExtensions(CFileExtensionEnum& list);
void WriteFileExtensions(const CFileExtensionEnum& list);
// The guard against Vadiro, then every marked entry registered; an entry
// that fails loses its mark. True when the list had a marked entry.
bool RegisterMarked(CFileExtensionEnum& list);

// The start's check, on the player system's extension list.
void CheckFileAssociations(CPlayerSystem& players);
// The options' edited copy of the list (entry i for current entry i).
void SetFileAssociations(CPlayerSystem& players, const CFileExtensionEnum& edited);

}  // namespace associations

// The fixed parts of the compiled skin file: its magic, the top-level
// chunks, the flag of packed data and the tags of the element chunks of
// the inner stream, in the order the writer puts them.
#pragma once

#include <cstddef>

#include <windows.h>

#include "skins/base/ChunkIo.h"

inline constexpr char kSkinMagic[] = "Ostrell skin";
inline constexpr size_t kSkinMagicSize = 12;

inline constexpr DWORD kTagINFO = MakeTag("INFO");
inline constexpr DWORD kTagDATA = MakeTag("DATA");
inline constexpr DWORD kDataPacked = 1;

inline constexpr DWORD kTagCOLR = MakeTag("COLR");
inline constexpr DWORD kTagFONT = MakeTag("FONT");
// Main window and control window of the modes 0, 1 and 2.
inline constexpr DWORD kMainWindowTags[3] = {MakeTag("MWDB"), MakeTag("MWDS"), MakeTag("MWDM")};
inline constexpr DWORD kControlWindowTags[3] = {MakeTag("SWDB"), MakeTag("SWDS"), MakeTag("SWDM")};
inline constexpr DWORD kTagAWND = MakeTag("AWND");

// The first bytes by which picture files are recognised.
#pragma once

#include <windows.h>

inline constexpr BYTE kImageFileMagic[10] = {'I', 'M', 'G', '_', 'I', 'M', 'A', 'G', 'E', 0};
inline constexpr char kXTRMPICMagic[7] = {'X', 'T', 'R', 'M', 'P', 'I', 'C'};
inline constexpr char kGIFSignature[3] = {'G', 'I', 'F'};

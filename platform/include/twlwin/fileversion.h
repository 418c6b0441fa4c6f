// Version information of program and library files: the version resource
// of a module this process has loaded, or the version the layer gives a
// library it provides under a Windows name ("comctl32.dll"). A file that is
// not loaded has none to read. The block holds the fixed information only.
// Any thread.
#pragma once

#include "types.h"

typedef struct tagVS_FIXEDFILEINFO {
  DWORD dwSignature;  // 0xFEEF04BD
  DWORD dwStrucVersion;
  DWORD dwFileVersionMS;
  DWORD dwFileVersionLS;
  DWORD dwProductVersionMS;
  DWORD dwProductVersionLS;
  DWORD dwFileFlagsMask;
  DWORD dwFileFlags;
  DWORD dwFileOS;
  DWORD dwFileType;
  DWORD dwFileSubtype;
  DWORD dwFileDateMS;
  DWORD dwFileDateLS;
} VS_FIXEDFILEINFO;

// The size of the file's version block; 0 when it has none (handle, when
// given, is set to 0).
TWLAPI DWORD GetFileVersionInfoSizeA(LPCSTR file, LPDWORD handle);
// Copies the block; fails with ERROR_INSUFFICIENT_BUFFER when it does not
// fit `size`.
TWLAPI BOOL GetFileVersionInfoA(LPCSTR file, DWORD handle, DWORD size, LPVOID data);
// "\" gives the VS_FIXEDFILEINFO inside the block and its size; other
// sub-blocks are not kept. The block is checked before it is read.
TWLAPI BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, UINT* length);

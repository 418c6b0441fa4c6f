// The functions behind the host API table's slots, by the slot names that
// plug-ins know. The table and the tests call them directly; each keeps
// every failure inside the thread error state and never throws.
#pragma once

#include <cstdarg>

#include "pluginhost/abi/PlugInAbi.h"

namespace hostapi {

// Frame: version and thread errors.
DWORD HOST_GetPlayerVersion();
void HOST_SetError(DWORD type, DWORD code, const char* text);
void HOST_SetErrorText(const char* text);
void HOST_SetDirectDrawError(DWORD code);
void HOST_SetDirectSoundError(DWORD code);
void HOST_SetStreamError(DWORD code);
void HOST_SetWinMMError(DWORD code);
void HOST_SetMCIError(DWORD code);
void HOST_SetMiscError(DWORD code);
void HOST_ExtendErrorText(const char* prefix, const char* suffix);
HostSavedError* HOST_SaveError();
void HOST_RestoreError(const HostSavedError* saved);
void HOST_FreeError(HostSavedError* saved);
DWORD HOST_GetErrorType();
DWORD HOST_GetErrorCode();
const char* HOST_GetErrorText();
DWORD HOST_GetDirectDrawErrorCode();
DWORD HOST_GetDirectSoundErrorCode();
DWORD HOST_GetStreamErrorCode();
DWORD HOST_GetWinMMErrorCode();
DWORD HOST_GetMCIErrorCode();
DWORD HOST_GetMiscErrorCode();
char* HOST_GetDirectDrawErrorText(DWORD code);
char* HOST_GetDirectSoundErrorText(DWORD code);
char* HOST_GetStreamErrorText(DWORD code);
char* HOST_GetWinMMErrorText(DWORD code);
char* HOST_GetMCIErrorText(DWORD code);
char* HOST_GetMiscErrorText(DWORD code);

// Log and message box.
void HOST_LogWrite(const char* text, DWORD category);
void HOST_LogWriteParams(const char* format, va_list* arguments, DWORD category);
void HOST_LogError(const char* leadingText, DWORD category);
int HOST_MessageBox(HWND owner, const char* text, const char* caption, UINT style);
void HOST_LogWriteTime();
void HOST_LogWriteDate();
void HOST_LogWriteDateAndTime();

// Heap and strings.
void* HOST_Alloc(DWORD size);
void HOST_Free(void* block);
char* HOST_AllocString(const char* text);

// The program's font, windows, folders and name.
HFONT HOST_GetControlFont(DWORD index);
HWND HOST_GetWindowHandle(DWORD which);
const char* HOST_GetFolder(DWORD which);
char* HOST_GetPlayerName();

// File system and streams.
BOOL HOST_GetFileSystemInfo(const char* url, DWORD flags, HostFileSystemAnswer* answer, PLUGIN_HANDLE caller);
BOOL HOST_OpenStream(const char* url, DWORD flags, DWORD forbiddenEmulators, PLUGIN_HANDLE owner, HOST_STREAM* stream);
BOOL HOST_StreamSetProperty(HOST_STREAM stream, DWORD index, uintptr_t value);
BOOL HOST_StreamGetPath(HOST_STREAM stream, char** url);
BOOL HOST_StreamGetFlags(HOST_STREAM stream, DWORD* flags);
BOOL HOST_StreamRead(HOST_STREAM stream, void* buffer, DWORD size, DWORD* count);
BOOL HOST_StreamReadSome(HOST_STREAM stream, void* buffer, DWORD size, DWORD* count);
BOOL HOST_StreamSkip(HOST_STREAM stream, DWORD count, DWORD* skipped);
BOOL HOST_StreamSkipSome(HOST_STREAM stream, DWORD count, DWORD* skipped);
BOOL HOST_StreamSeek(HOST_STREAM stream, DWORD offsetLow, DWORD offsetHigh, DWORD origin, DWORD* position,
                     HANDLE abortEvent);
BOOL HOST_StreamCanSeek(HOST_STREAM stream, DWORD offsetLow, DWORD offsetHigh, DWORD origin, BOOL* wouldWait);
BOOL HOST_StreamGetPosition(HOST_STREAM stream, DWORD* position);
BOOL HOST_StreamGetLength(HOST_STREAM stream, BOOL immediate, DWORD* length, uintptr_t unused);
BOOL HOST_StreamGetTransferRate(HOST_STREAM stream, DWORD* bytesPerSecond);
BOOL HOST_StreamGetContentType(HOST_STREAM stream, DWORD* result, char** type);
BOOL HOST_StreamIsEOF(HOST_STREAM stream, BOOL* atEnd);
BOOL HOST_StreamCheckError(HOST_STREAM stream);
BOOL HOST_StreamClose(HOST_STREAM stream);
void HOST_StreamRelease(HOST_STREAM stream);
BOOL GetExclusiveFileAccess(const char* url, PLUGIN_HANDLE player);

// Disk file creators.
BOOL HOST_CreateInstantFileCreator(char** fileName, const char* url, const char* prefix, const char* suffix,
                                   HANDLE abortEvent, uintptr_t unused, DWORD flags, PLUGIN_HANDLE caller,
                                   HOST_FILECREATOR* creator);
BOOL HOST_CreateThreadFileCreator(const char* url, const char* prefix, const char* suffix,
                                  HOST_FileCreatorCallback callback, uintptr_t userValue, DWORD flags,
                                  PLUGIN_HANDLE caller, HOST_FILECREATOR* creator);
BOOL HOST_FileCreatorGetFileName(HOST_FILECREATOR creator, char** fileName);
void HOST_FileCreatorRelease(HOST_FILECREATOR creator);

// Every slot whose service is not offered yet: fails with
// HOST_MISC_INVALID_PARAM and answers 0.
uintptr_t HOST_Unavailable();

}  // namespace hostapi

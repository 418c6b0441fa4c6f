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

// Display: primary blits, the display lock, the primary surface.
HRESULT HOST_PrimaryBlit(IDirectDrawSurface2* destination, int32_t x, int32_t y, IDirectDrawSurface2* source,
                         RECT* sourceRect, DWORD flags, DDBLTFX* effects);
HRESULT HOST_PrimaryBlitRect(IDirectDrawSurface2* destination, int32_t x, int32_t y, IDirectDrawSurface2* source,
                             RECT* sourceRect);
HRESULT HOST_PrimaryBlitDC(HDC dc, int32_t x, int32_t y, IDirectDrawSurface2* source, RECT* sourceRect, DWORD rop);
IDirectDraw2* HOST_LockDirectDraw();
void HOST_UnlockDirectDraw();
BOOL HOST_GetPrimarySurface(IDirectDrawSurface2** surface);
void HOST_ReleasePrimarySurface();
void HOST_GetPrimarySurfaceDesc(DDSURFACEDESC* description);
BOOL HOST_IsDisplayAvailable();
void HOST_RequestRestoreSurfaces();
void HOST_LockDisplay();
void HOST_UnlockDisplay();

// The display's pixel values and palette.
DWORD HOST_GetColorKey();
DWORD HOST_GetBlackPixel();
DWORD HOST_ColorToPixel(DWORD color, BOOL map);
DWORD HOST_MapPaletteIndex(DWORD index);
BOOL HOST_GetPaletteEntries(DWORD* destination, int32_t first, int32_t count, int32_t* copied);
BOOL HOST_GetColorConversionTable(BYTE* destination);

// The skin's colours and writers.
DWORD HOST_GetSkinColorEntry(int32_t index);
DWORD HOST_GetSkinColor(int32_t index);
DWORD HOST_GetSkinColorEntryOf(DWORD skin, int32_t index);
DWORD HOST_GetSkinColorOf(DWORD skin, int32_t index);
BOOL HOST_GetWriter(DWORD index, HOST_WRITER* writer);
BOOL HOST_GetWriterOf(DWORD skin, DWORD index, HOST_WRITER* writer);
void HOST_ReleaseWriter(HOST_WRITER writer);
void HOST_ReleaseWriterOf(uintptr_t unused1, uintptr_t unused2);
int32_t HOST_WriterGetTextWidth(HOST_WRITER writer, const char* text);
int32_t HOST_WriterGetCharWidth(HOST_WRITER writer, int32_t character);
int32_t HOST_WriterGetHeight(HOST_WRITER writer);
BOOL HOST_WriterDrawText(HOST_WRITER writer, IDirectDrawSurface2* surface, int32_t x, int32_t y, const char* text);

// Regions, icons, pixel blocks and pictures.
BOOL HOST_CreateRegionFromMask(const BYTE* mask, int32_t width, int32_t height, HRGN* region);
int32_t HOST_AddIcon(HICON icon);
int32_t HOST_AddIconFromFile(const char* path, int32_t number);
int32_t HOST_GetSystemIconIndex(int32_t systemIndex);
BOOL HOST_CopyBitmapData(const DDPIXELFORMAT* destinationFormat, void* destination, int32_t destinationPitch,
                         const DDPIXELFORMAT* sourceFormat, const void* source, int32_t sourcePitch, int32_t width,
                         int32_t height, const DWORD* palette);
BOOL HOST_LoadBitmap(const char* url, DDPIXELFORMAT* format, void** bits, int32_t* pitch, int32_t* width,
                     int32_t* height);
BOOL HOST_LoadBitmapData(const char* url, const DDPIXELFORMAT* format, void* bits, int32_t pitch, int32_t width,
                         int32_t height);

// The program's font, windows, folders and name.
HFONT HOST_GetControlFont(DWORD index);
HWND HOST_GetWindowHandle(DWORD which);
const char* HOST_GetFolder(DWORD which);
char* HOST_GetPlayerName();
BOOL HOST_RegisterProxyType(HOST_PROXYTYPELIST list, const char* protocol, const char* typeName, int32_t defaultPort,
                            PLUGIN_HANDLE caller);
BOOL HOST_GetProxy(const char* protocol, HostProxyInfo* info, PLUGIN_HANDLE caller);
void HOST_FreeProxyInfo(HostProxyInfo* info);
DWORD HOST_GetConnectionTimeout(PLUGIN_HANDLE caller);

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

// Player reports and questions about playback.
void HOST_PauseVisualization(PLUGIN_HANDLE player);
void HOST_ResumeVisualization(PLUGIN_HANDLE player);
void HOST_StopVisualization(PLUGIN_HANDLE player);
void HOST_PlayerFeedSamples(const void* samples, DWORD bytes, DWORD playTime, DWORD frequency, DWORD bitsPerSample,
                            DWORD channels, PLUGIN_HANDLE player);
void HOST_PlayerWillPlay(PLUGIN_HANDLE player);
void HOST_PlayerFinished(DWORD result, PLUGIN_HANDLE player);
void HOST_PlayerSetPosition(DWORD milliseconds, PLUGIN_HANDLE player);
void HOST_PlayerSetDuration(DWORD milliseconds, PLUGIN_HANDLE player);
DWORD HOST_GetVolume();
DWORD HOST_GetPlayerThreadPriority();
void HOST_PlayerSetSampleFeed(BOOL feedsItself, DWORD flags, PLUGIN_HANDLE player);
BOOL HOST_GetSoundSettings(HostSoundSettings* settings, PLUGIN_HANDLE caller);
BOOL HOST_GetCurrentEntry(HostEntryInfo* info);
void HOST_FreeEntryInfo(HostEntryInfo* info);
BOOL HOST_AddFileExtension(HOST_FILEEXTENSIONLIST list, const char* extension, const char* description,
                           DWORD fileType, PLUGIN_HANDLE caller);

// File identification and filters.
BOOL HOST_SetFileInfo(const char* path, const char* typeText, DWORD typePriority, int32_t typeIcon,
                      DWORD iconPriority, int32_t thirdValue, DWORD thirdPriority, PLUGIN_HANDLE caller);
BOOL HOST_AddFileFilterPattern(HOST_FILEFILTERLIST list, const char* text, FILEFILTER_DESCRIPTION description,
                               PLUGIN_HANDLE caller);

// Spectrum analysers.
BOOL HOST_CreateSpectrumAnalyzer(int32_t bits, DWORD sampleRate, DWORD type, DWORD updatesPerSecond, DWORD flags,
                                 HOST_SPECTRUMANALYZER* analyzer);
void HOST_DestroySpectrumAnalyzer(HOST_SPECTRUMANALYZER analyzer);
HostSpectrumFrame* HOST_SpectrumGetFrame(HOST_SPECTRUMANALYZER analyzer);
void HOST_SpectrumReleaseFrame(HOST_SPECTRUMANALYZER analyzer, HostSpectrumFrame* frame);
BOOL HOST_SpectrumIsDue(HOST_SPECTRUMANALYZER analyzer);
void HOST_SpectrumWaitForUpdate(HOST_SPECTRUMANALYZER analyzer);
void HOST_SpectrumPause(HOST_SPECTRUMANALYZER analyzer);
void HOST_SpectrumResume(HOST_SPECTRUMANALYZER analyzer);
void HOST_SpectrumReset(HOST_SPECTRUMANALYZER analyzer);
void HOST_SpectrumFeed(HOST_SPECTRUMANALYZER analyzer, const void* samples, DWORD bytes, DWORD playTime,
                       DWORD frequency, DWORD bitsPerSample, DWORD channels);
DWORD HOST_SpectrumGetNextUpdateTime(HOST_SPECTRUMANALYZER analyzer);
BOOL HOST_SpectrumIsDueEx(HOST_SPECTRUMANALYZER analyzer, int32_t offset);
void HOST_SpectrumWaitForUpdateEx(HOST_SPECTRUMANALYZER analyzer, int32_t offset);

// Mixer volume controls.
BOOL HOST_GetMixerVolumeControl(DWORD componentType, PLUGIN_HANDLE player, HOST_MIXERCONTROL* control);
LONG HOST_ReleaseMixerVolumeControl(HOST_MIXERCONTROL control);
BOOL HOST_MixerSetVolume(HOST_MIXERCONTROL control, int32_t level);
BOOL HOST_MixerGetVolume(HOST_MIXERCONTROL control, int32_t* level);
BOOL HOST_MixerRestoreVolume(HOST_MIXERCONTROL control);

// Sound.
BOOL HOST_SetPrimarySoundFormat(IDirectSound* directSound, DWORD frequency, DWORD bitsPerSample, DWORD channels);
LONG HOST_VolumeToAttenuation(LONG volume);
BOOL HOST_CreateSoundBuffer(DWORD bytes, DWORD frequency, DWORD bitsPerSample, DWORD channels, DWORD flags,
                            PLUGIN_HANDLE player, HOST_SOUNDBUFFER* buffer);
void HOST_DestroySoundBuffer(HOST_SOUNDBUFFER buffer);
BOOL HOST_SoundBufferReset(HOST_SOUNDBUFFER buffer, float startMilliseconds);
BOOL HOST_SoundBufferGetFreeSpace(HOST_SOUNDBUFFER buffer, DWORD* bytes);
BOOL HOST_SoundBufferGetLatency(HOST_SOUNDBUFFER buffer, DWORD* bytes);
BOOL HOST_SoundBufferGetQueued(HOST_SOUNDBUFFER buffer, DWORD* bytes);
BOOL HOST_SoundBufferGetTotalWritten(HOST_SOUNDBUFFER buffer, DWORD* bytes);
BOOL HOST_SoundBufferWait(HOST_SOUNDBUFFER buffer, DWORD bytes, HANDLE abortEvent);
BOOL HOST_SoundBufferWrite(HOST_SOUNDBUFFER buffer, const void* samples, DWORD bytes, BOOL commit);
BOOL HOST_SoundBufferWriteSilence(HOST_SOUNDBUFFER buffer, DWORD bytes, BOOL commit);
BOOL HOST_SoundBufferGetPlayTime(HOST_SOUNDBUFFER buffer, DWORD* milliseconds);
BOOL HOST_SoundBufferLock(HOST_SOUNDBUFFER buffer, DWORD offset, DWORD bytes, void** first, DWORD* firstBytes,
                          void** second, DWORD* secondBytes);
BOOL HOST_SoundBufferUnlock(HOST_SOUNDBUFFER buffer, void* first, DWORD firstBytes, void* second, DWORD secondBytes);
BOOL HOST_SoundBufferCommit(HOST_SOUNDBUFFER buffer, DWORD bytes);
BOOL HOST_SoundBufferGetWriteOffset(HOST_SOUNDBUFFER buffer, DWORD* offset);
BOOL HOST_SoundBufferGetCommittedOffset(HOST_SOUNDBUFFER buffer, DWORD* offset);
BOOL HOST_SoundBufferPlay(HOST_SOUNDBUFFER buffer);
BOOL HOST_SoundBufferStop(HOST_SOUNDBUFFER buffer, BOOL drain, HANDLE abortEvent);
BOOL HOST_SoundBufferGetPosition(HOST_SOUNDBUFFER buffer, DWORD* playCursor, DWORD* writeCursor);
BOOL HOST_SoundBufferGetPlayPosition(HOST_SOUNDBUFFER buffer, DWORD* playCursor);
BOOL HOST_SoundBufferSetPosition(HOST_SOUNDBUFFER buffer, DWORD offset);
BOOL HOST_SoundBufferSetVolume(HOST_SOUNDBUFFER buffer, int32_t volume);
BOOL HOST_SoundBufferGetVolume(HOST_SOUNDBUFFER buffer, int32_t* volume);
BOOL HOST_SoundBufferSetPan(HOST_SOUNDBUFFER buffer, int32_t pan);
BOOL HOST_SoundBufferGetPan(HOST_SOUNDBUFFER buffer, int32_t* pan);

// Every slot whose service is not offered yet: fails with
// HOST_MISC_INVALID_PARAM and answers 0.
uintptr_t HOST_Unavailable();

}  // namespace hostapi

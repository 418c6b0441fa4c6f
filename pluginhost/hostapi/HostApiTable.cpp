// The host API table: one constant table, filled slot by slot at compile
// time. Slots of services this host does not offer yet hold the one
// placeholder, which fails with an invalid parameter.
#include <cstring>

#include "foundation/errors/ThreadErrorState.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/hostapi/HostApiTesting.h"
#include "pluginhost/hostapi/HostSlots.h"

namespace hostapi {

uintptr_t HOST_Unavailable() {
  HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
  return 0;
}

}  // namespace hostapi

namespace {

using namespace hostapi;

template <size_t N>
constexpr void Reserve(HOST_ReservedSlot (&slots)[N]) {
  for (auto& slot : slots) slot = &HOST_Unavailable;
}

constexpr HostApiTable BuildTable() {
  HostApiTable t{};
  Reserve(t.reserved92_109);
  Reserve(t.reserved111_134);
  Reserve(t.reserved194_208);
  Reserve(t.reserved213_227);
  Reserve(t.reserved237_239);

  t.HOST_GetPlayerVersion = &HOST_GetPlayerVersion;
  t.HOST_SetError = &HOST_SetError;
  t.HOST_SetErrorText = &HOST_SetErrorText;
  t.HOST_SetDirectDrawError = &HOST_SetDirectDrawError;
  t.HOST_SetDirectSoundError = &HOST_SetDirectSoundError;
  t.HOST_SetStreamError = &HOST_SetStreamError;
  t.HOST_SetWinMMError = &HOST_SetWinMMError;
  t.HOST_SetMCIError = &HOST_SetMCIError;
  t.HOST_SetMiscError = &HOST_SetMiscError;
  t.HOST_ExtendErrorText = &HOST_ExtendErrorText;
  t.HOST_SaveError = &HOST_SaveError;
  t.HOST_RestoreError = &HOST_RestoreError;
  t.HOST_FreeError = &HOST_FreeError;
  t.HOST_GetErrorType = &HOST_GetErrorType;
  t.HOST_GetErrorCode = &HOST_GetErrorCode;
  t.HOST_GetErrorText = &HOST_GetErrorText;
  t.HOST_GetDirectDrawErrorCode = &HOST_GetDirectDrawErrorCode;
  t.HOST_GetDirectSoundErrorCode = &HOST_GetDirectSoundErrorCode;
  t.HOST_GetStreamErrorCode = &HOST_GetStreamErrorCode;
  t.HOST_GetWinMMErrorCode = &HOST_GetWinMMErrorCode;
  t.HOST_GetMCIErrorCode = &HOST_GetMCIErrorCode;
  t.HOST_GetMiscErrorCode = &HOST_GetMiscErrorCode;
  t.HOST_GetDirectDrawErrorText = &HOST_GetDirectDrawErrorText;
  t.HOST_GetDirectSoundErrorText = &HOST_GetDirectSoundErrorText;
  t.HOST_GetStreamErrorText = &HOST_GetStreamErrorText;
  t.HOST_GetWinMMErrorText = &HOST_GetWinMMErrorText;
  t.HOST_GetMCIErrorText = &HOST_GetMCIErrorText;
  t.HOST_GetMiscErrorText = &HOST_GetMiscErrorText;
  t.HOST_LogWrite = &HOST_LogWrite;
  t.HOST_LogWriteParams = &HOST_LogWriteParams;
  t.HOST_LogError = &HOST_LogError;
  t.HOST_MessageBox = &HOST_MessageBox;
  t.HOST_Alloc = &HOST_Alloc;
  t.HOST_Free = &HOST_Free;
  t.HOST_PrimaryBlit = &HOST_PrimaryBlit;
  t.HOST_PrimaryBlitRect = &HOST_PrimaryBlitRect;
  t.HOST_PrimaryBlitDC = &HOST_PrimaryBlitDC;
  t.HOST_GetSkinColorEntry = &HOST_GetSkinColorEntry;
  t.HOST_GetSkinColor = &HOST_GetSkinColor;
  t.HOST_GetColorKey = &HOST_GetColorKey;
  t.HOST_GetBlackPixel = &HOST_GetBlackPixel;
  t.HOST_ColorToPixel = &HOST_ColorToPixel;
  t.HOST_MapPaletteIndex = &HOST_MapPaletteIndex;
  t.HOST_LockDirectDraw = &HOST_LockDirectDraw;
  t.HOST_UnlockDirectDraw = &HOST_UnlockDirectDraw;
  t.HOST_GetPrimarySurface = &HOST_GetPrimarySurface;
  t.HOST_ReleasePrimarySurface = &HOST_ReleasePrimarySurface;
  t.HOST_GetPrimarySurfaceDesc = &HOST_GetPrimarySurfaceDesc;
  t.HOST_IsDisplayAvailable = &HOST_IsDisplayAvailable;
  t.HOST_RequestRestoreSurfaces = &HOST_RequestRestoreSurfaces;
  t.HOST_LockDisplay = &HOST_LockDisplay;
  t.HOST_UnlockDisplay = &HOST_UnlockDisplay;
  t.HOST_GetWriter = &HOST_GetWriter;
  t.HOST_ReleaseWriter = &HOST_ReleaseWriter;
  t.HOST_WriterGetTextWidth = &HOST_WriterGetTextWidth;
  t.HOST_WriterGetCharWidth = &HOST_WriterGetCharWidth;
  t.HOST_WriterGetHeight = &HOST_WriterGetHeight;
  t.HOST_WriterDrawText = &HOST_WriterDrawText;
  t.HOST_GetControlFont = &HOST_GetControlFont;
  t.HOST_GetWindowHandle = &HOST_GetWindowHandle;
  t.HOST_GetFolder = &HOST_GetFolder;
  t.HOST_AllocString = &HOST_AllocString;
  t.HOST_CreateRegionFromMask = &HOST_CreateRegionFromMask;
  t.HOST_AddIcon = &HOST_AddIcon;
  t.HOST_AddIconFromFile = &HOST_AddIconFromFile;
  t.HOST_GetSystemIconIndex = &HOST_GetSystemIconIndex;
  t.HOST_PauseVisualization = &HOST_PauseVisualization;
  t.HOST_ResumeVisualization = &HOST_ResumeVisualization;
  t.HOST_StopVisualization = &HOST_StopVisualization;
  t.HOST_PlayerFeedSamples = &HOST_PlayerFeedSamples;
  t.HOST_PlayerWillPlay = &HOST_PlayerWillPlay;
  t.HOST_PlayerFinished = &HOST_PlayerFinished;
  t.HOST_PlayerSetPosition = &HOST_PlayerSetPosition;
  t.HOST_PlayerSetDuration = &HOST_PlayerSetDuration;
  t.HOST_GetVolume = &HOST_GetVolume;
  t.HOST_GetPlayerThreadPriority = &HOST_GetPlayerThreadPriority;
  t.HOST_PlayerSetSampleFeed = &HOST_PlayerSetSampleFeed;
  t.HOST_GetSoundSettings = &HOST_GetSoundSettings;
  t.HOST_CreateSpectrumAnalyzer = &HOST_CreateSpectrumAnalyzer;
  t.HOST_DestroySpectrumAnalyzer = &HOST_DestroySpectrumAnalyzer;
  t.HOST_SpectrumGetFrame = &HOST_SpectrumGetFrame;
  t.HOST_SpectrumReleaseFrame = &HOST_SpectrumReleaseFrame;
  t.HOST_SpectrumIsDue = &HOST_SpectrumIsDue;
  t.HOST_SpectrumWaitForUpdate = &HOST_SpectrumWaitForUpdate;
  t.HOST_SpectrumPause = &HOST_SpectrumPause;
  t.HOST_SpectrumResume = &HOST_SpectrumResume;
  t.HOST_SpectrumReset = &HOST_SpectrumReset;
  t.HOST_SpectrumFeed = &HOST_SpectrumFeed;
  t.HOST_GetCurrentEntry = &HOST_GetCurrentEntry;
  t.HOST_FreeEntryInfo = &HOST_FreeEntryInfo;
  t.HOST_AddFileExtension = &HOST_AddFileExtension;
  t.HOST_SetFileInfo = &HOST_SetFileInfo;
  t.HOST_AddFileFilterPattern = &HOST_AddFileFilterPattern;
  t.HOST_GetFileSystemInfo = &HOST_GetFileSystemInfo;
  t.HOST_OpenStream = &HOST_OpenStream;
  t.HOST_StreamSetProperty = &HOST_StreamSetProperty;
  t.HOST_StreamGetPath = &HOST_StreamGetPath;
  t.HOST_StreamGetFlags = &HOST_StreamGetFlags;
  t.HOST_StreamRead = &HOST_StreamRead;
  t.HOST_StreamReadSome = &HOST_StreamReadSome;
  t.HOST_StreamSkip = &HOST_StreamSkip;
  t.HOST_StreamSkipSome = &HOST_StreamSkipSome;
  t.HOST_StreamSeek = &HOST_StreamSeek;
  t.HOST_StreamCanSeek = &HOST_StreamCanSeek;
  t.HOST_StreamGetPosition = &HOST_StreamGetPosition;
  t.HOST_StreamGetLength = &HOST_StreamGetLength;
  t.HOST_StreamGetTransferRate = &HOST_StreamGetTransferRate;
  t.HOST_StreamGetContentType = &HOST_StreamGetContentType;
  t.HOST_StreamIsEOF = &HOST_StreamIsEOF;
  t.HOST_StreamCheckError = &HOST_StreamCheckError;
  t.HOST_StreamClose = &HOST_StreamClose;
  t.HOST_StreamRelease = &HOST_StreamRelease;
  t.GetExclusiveFileAccess = &GetExclusiveFileAccess;
  t.HOST_CreateInstantFileCreator = &HOST_CreateInstantFileCreator;
  t.HOST_CreateThreadFileCreator = &HOST_CreateThreadFileCreator;
  t.HOST_FileCreatorGetFileName = &HOST_FileCreatorGetFileName;
  t.HOST_FileCreatorRelease = &HOST_FileCreatorRelease;
  t.HOST_SetPrimarySoundFormat = &HOST_SetPrimarySoundFormat;
  t.HOST_VolumeToAttenuation = &HOST_VolumeToAttenuation;
  t.HOST_GetMixerVolumeControl = &HOST_GetMixerVolumeControl;
  t.HOST_ReleaseMixerVolumeControl = &HOST_ReleaseMixerVolumeControl;
  t.HOST_MixerSetVolume = &HOST_MixerSetVolume;
  t.HOST_MixerGetVolume = &HOST_MixerGetVolume;
  t.HOST_MixerRestoreVolume = &HOST_MixerRestoreVolume;
  t.HOST_CreateSoundBuffer = &HOST_CreateSoundBuffer;
  t.HOST_DestroySoundBuffer = &HOST_DestroySoundBuffer;
  t.HOST_SoundBufferReset = &HOST_SoundBufferReset;
  t.HOST_SoundBufferGetFreeSpace = &HOST_SoundBufferGetFreeSpace;
  t.HOST_SoundBufferGetLatency = &HOST_SoundBufferGetLatency;
  t.HOST_SoundBufferGetQueued = &HOST_SoundBufferGetQueued;
  t.HOST_SoundBufferGetTotalWritten = &HOST_SoundBufferGetTotalWritten;
  t.HOST_SoundBufferWait = &HOST_SoundBufferWait;
  t.HOST_SoundBufferWrite = &HOST_SoundBufferWrite;
  t.HOST_SoundBufferWriteSilence = &HOST_SoundBufferWriteSilence;
  t.HOST_SoundBufferGetPlayTime = &HOST_SoundBufferGetPlayTime;
  t.HOST_SoundBufferLock = &HOST_SoundBufferLock;
  t.HOST_SoundBufferUnlock = &HOST_SoundBufferUnlock;
  t.HOST_SoundBufferCommit = &HOST_SoundBufferCommit;
  t.HOST_SoundBufferGetWriteOffset = &HOST_SoundBufferGetWriteOffset;
  t.HOST_SoundBufferGetCommittedOffset = &HOST_SoundBufferGetCommittedOffset;
  t.HOST_SoundBufferPlay = &HOST_SoundBufferPlay;
  t.HOST_SoundBufferStop = &HOST_SoundBufferStop;
  t.HOST_SoundBufferGetPosition = &HOST_SoundBufferGetPosition;
  t.HOST_SoundBufferGetPlayPosition = &HOST_SoundBufferGetPlayPosition;
  t.HOST_SoundBufferSetPosition = &HOST_SoundBufferSetPosition;
  t.HOST_SoundBufferSetVolume = &HOST_SoundBufferSetVolume;
  t.HOST_SoundBufferGetVolume = &HOST_SoundBufferGetVolume;
  t.HOST_SoundBufferSetPan = &HOST_SoundBufferSetPan;
  t.HOST_SoundBufferGetPan = &HOST_SoundBufferGetPan;
  t.HOST_CopyBitmapData = &HOST_CopyBitmapData;
  t.HOST_LoadBitmap = &HOST_LoadBitmap;
  t.HOST_LoadBitmapData = &HOST_LoadBitmapData;
  t.HOST_SpectrumGetNextUpdateTime = &HOST_SpectrumGetNextUpdateTime;
  t.HOST_SpectrumIsDueEx = &HOST_SpectrumIsDueEx;
  t.HOST_SpectrumWaitForUpdateEx = &HOST_SpectrumWaitForUpdateEx;
  t.HOST_GetSkinColorEntryOf = &HOST_GetSkinColorEntryOf;
  t.HOST_GetSkinColorOf = &HOST_GetSkinColorOf;
  t.HOST_GetWriterOf = &HOST_GetWriterOf;
  t.HOST_LogWriteTime = &HOST_LogWriteTime;
  t.HOST_LogWriteDate = &HOST_LogWriteDate;
  t.HOST_LogWriteDateAndTime = &HOST_LogWriteDateAndTime;
  t.HOST_GetPaletteEntries = &HOST_GetPaletteEntries;
  t.HOST_GetColorConversionTable = &HOST_GetColorConversionTable;
  t.HOST_ReleaseWriterOf = &HOST_ReleaseWriterOf;
  t.HOST_GetPlayerName = &HOST_GetPlayerName;
  t.HOST_RegisterProxyType = &HOST_RegisterProxyType;
  t.HOST_GetProxy = &HOST_GetProxy;
  t.HOST_FreeProxyInfo = &HOST_FreeProxyInfo;
  t.HOST_GetConnectionTimeout = &HOST_GetConnectionTimeout;
  return t;
}

constinit const HostApiTable kHostApiTable = BuildTable();

}  // namespace

const HostApiTable* GetHostApiTable() { return &kHostApiTable; }

bool IsHostApiPlaceholder(size_t slot) {
  if (slot >= HOST_API_SLOT_COUNT) return false;
  HOST_ReservedSlot entry;
  std::memcpy(&entry, reinterpret_cast<const char*>(&kHostApiTable) + slot * sizeof(void*), sizeof entry);
  return entry == &HOST_Unavailable;
}

std::vector<size_t> GetHostApiPlaceholderSlots() {
  std::vector<size_t> slots;
  for (size_t slot = 0; slot < HOST_API_SLOT_COUNT; ++slot) {
    if (IsHostApiPlaceholder(slot)) slots.push_back(slot);
  }
  return slots;
}

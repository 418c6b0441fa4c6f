// The plug-in interface: what the host and every plug-in share, word for
// word. A plug-in exports one function, PLUGIN_GetMainInterface, which
// returns its main table; objects are tables of functions that begin with a
// common head; the host hands each plug-in the HostApiTable.
//
// On x86-64 every table is an array of C function pointers with the
// platform's default calling convention. A word that holds a pointer, a
// handle or a context is pointer-sized; every other word (flags, counts,
// codes, booleans) is 32 bits; a 64-bit value travels as two 32-bit words,
// low word first. Texts are zero-terminated 8-bit texts. Sizes and slot
// positions are asserted below, so host and plug-ins cannot drift apart.
//
// Threading: the main table and the object heads are called on the host's
// user-interface thread; host API slots may be called from any thread
// unless their description says otherwise.
#pragma once

#include <dsound.h>
#include <windows.h>

#include <cstdarg>
#include <cstddef>
#include <cstdint>

#include "pluginhost/abi/CanPlayAnswer.h"

extern "C" {

// ---------------------------------------------------------------------------
// Shared words

// The value a version-2 object gets in OBJECT_Init and passes back to the
// host; for a version-1 object its interface table. The host's identity of
// the calling object.
typedef void* PLUGIN_HANDLE;
// A version-2 object's own word, first argument of each of its functions.
typedef uintptr_t PLUGIN_CONTEXT;

// Versions packed as (major << 16) | minor.
struct PlugInVersionInfo {
  DWORD requiredPlayerVersion;
  DWORD apiVersion;
};

// The API version from which a plug-in with PLUGIN_EnumObjects speaks
// version 2: above this one.
#define PLUGIN_API_VERSION_2 0x10031u

// The kinds of object a plug-in offers (arguments of PLUGIN_GetObject and
// PLUGIN_EnumObjects).
enum PlugInObjectKind : DWORD {
  PLUGINOBJ_PLAYER = 0,
  PLUGINOBJ_STREAMPROVIDER = 1,
  PLUGINOBJ_CONTROLWINDOWPROVIDER = 2,
  PLUGINOBJ_VISUALIZER = 3,
  PLUGINOBJ_FILEIDENTIFIER = 4,
  PLUGINOBJ_FILEOBJECTENUMERATORPROVIDER = 5,
  PLUGINOBJ_FILEFILTER = 6,
};
#define PLUGINOBJ_KIND_COUNT 7u

struct HostApiTable;

// ---------------------------------------------------------------------------
// The main table

struct PlugInMainInterface {
  void (*PLUGIN_GetVersion)(PlugInVersionInfo* info);
  // Nonzero: ready. The plug-in keeps the table for all later host calls.
  BOOL (*PLUGIN_Init)(const HostApiTable* host, HMODULE module);
  BOOL (*PLUGIN_Exit)();
  // Never called by the host.
  void (*PLUGIN_Slot3)(uintptr_t word);
  // Version 1: the one object of a kind (its interface table), or null.
  // May be null: no objects.
  const void* (*PLUGIN_GetObject)(DWORD kind);
  // Version 2: object `index` of a kind; false when there is none. Null
  // (or an API version up to PLUGIN_API_VERSION_2) makes the plug-in
  // version 1. The host reads no slot after this one.
  BOOL (*PLUGIN_EnumObjects)(DWORD kind, DWORD index, const void** table, PLUGIN_CONTEXT* context);
};

typedef const PlugInMainInterface* (*PLUGIN_GetMainInterfaceFunction)();
#define PLUGIN_MAIN_INTERFACE_EXPORT "PLUGIN_GetMainInterface"
// How a plug-in defines its one export:
//   PLUGIN_EXPORT const PlugInMainInterface* PLUGIN_GetMainInterface() { ... }
#define PLUGIN_EXPORT __attribute__((visibility("default")))

// ---------------------------------------------------------------------------
// Object heads. Every object table starts with the head of its version;
// the kind's own slots follow (version 1 from slot 10, version 2 from slot
// 14, each at its version-1 slot number plus 4). Strings returned to the
// host are allocated with HOST_AllocString or HOST_Alloc; the host frees
// them. Null means failure.
//
// The one exception: a version-1 visualizer shares slots 0-6 only; its own
// operations take slots 7-11 and its skin-change and restore slots are 12,
// 13 and 14.

struct PlugInObjectInterface {
  void (*OBJECT_GetVersion)(PlugInVersionInfo* info);  // mandatory
  char* (*OBJECT_GetName)();                           // mandatory
  BOOL (*OBJECT_Init)();                               // null: success
  void (*OBJECT_Exit)();
  char* (*OBJECT_GetDescription)();  // mandatory
  // Present: the object has a configuration.
  BOOL (*OBJECT_Configure)(HWND owner);
  int32_t (*OBJECT_GetIconIndex)();  // null: -1
  void (*OBJECT_BeginSkinChange)();
  void (*OBJECT_EndSkinChange)();
  BOOL (*OBJECT_RestoreSurfaces)();  // null: true
};

struct PlugInObjectInterface2 {
  void (*OBJECT_GetVersion)(PLUGIN_CONTEXT context, PlugInVersionInfo* info);  // mandatory
  char* (*OBJECT_GetName)(PLUGIN_CONTEXT context);                             // mandatory
  // Unique among the plug-in's objects of one kind, stable between runs.
  char* (*OBJECT_GetId)(PLUGIN_CONTEXT context);                      // mandatory
  BOOL (*OBJECT_Init)(PLUGIN_CONTEXT context, PLUGIN_HANDLE handle);  // null: success
  void (*OBJECT_Exit)(PLUGIN_CONTEXT context);
  char* (*OBJECT_GetDescription)(PLUGIN_CONTEXT context);        // mandatory
  int32_t (*OBJECT_GetIconIndex)(PLUGIN_CONTEXT context);        // null: -1
  BOOL (*OBJECT_HasConfiguration)(PLUGIN_CONTEXT context);       // null: false
  BOOL (*OBJECT_Configure)(PLUGIN_CONTEXT context, HWND owner);  // null: true
  BOOL (*OBJECT_HasInfo)(PLUGIN_CONTEXT context);                // null: false
  BOOL (*OBJECT_ShowInfo)(PLUGIN_CONTEXT context, HWND owner);   // null: true
  void (*OBJECT_BeginSkinChange)(PLUGIN_CONTEXT context);
  void (*OBJECT_EndSkinChange)(PLUGIN_CONTEXT context);
  BOOL (*OBJECT_RestoreSurfaces)(PLUGIN_CONTEXT context);  // null: true
};

// ---------------------------------------------------------------------------
// Host API records and handles

// Thread error families (HOST_SetError and HOST_GetErrorType) and the codes
// of the miscellaneous family.
enum HostErrorType : DWORD {
  HOST_ERROR_NONE = 0,
  HOST_ERROR_GENERAL = 1,
  HOST_ERROR_DIRECTDRAW = 2,
  HOST_ERROR_DIRECTSOUND = 3,
  HOST_ERROR_STREAM = 4,
  HOST_ERROR_WINMM = 5,
  HOST_ERROR_MCI = 6,
  HOST_ERROR_MISC = 7,
};
enum HostMiscError : DWORD {
  HOST_MISC_NONE = 0,
  HOST_MISC_INVALID_PARAM = 1,
  HOST_MISC_OUT_OF_MEMORY = 2,
  HOST_MISC_ABORTED = 3,
  HOST_MISC_BUSY = 4,
  HOST_MISC_ACCESS_DENIED = 5,
  HOST_MISC_UNSUPPORTED_FILE_FORMAT = 6,
  HOST_MISC_CORRUPTED_FILE = 7,
  HOST_MISC_MIXER_CONTROL_UNAVAILABLE = 8,
};

// Log categories: below 0x100 information, 0x100-0xFFFF error, from
// 0x10000 warning; an error or warning whose low byte is 0 may pop up the
// log window.
#define HOST_LOG_INFO 0x0u
#define HOST_LOG_ERROR 0x100u
#define HOST_LOG_WARNING 0x10000u

// A saved thread error (HOST_SaveError); freed only with HOST_FreeError.
struct HostSavedError {
  DWORD type;
  DWORD code;
  char* text;  // the host's copy, or null
};

// A host stream handed to a plug-in.
typedef struct HostStream_* HOST_STREAM;
// A disk file creator handed to a plug-in.
typedef struct HostFileCreator_* HOST_FILECREATOR;

// Stream flags in plug-in form: the host's, with the two sharing bits
// inverted (a plug-in sets them to deny that sharing).
#define HOST_STREAM_READ 0x1u
#define HOST_STREAM_WRITE 0x2u
#define HOST_STREAM_SEEK 0x4u
#define HOST_STREAM_LENGTHKNOWN 0x8u
#define HOST_STREAM_DENY_READ 0x100000u
#define HOST_STREAM_DENY_WRITE 0x200000u

// What HOST_GetFileSystemInfo tells about a URL: the chosen provider's
// answer.
struct HostFileSystemAnswer {
  DWORD capabilities;
  DWORD transferRate;  // bytes per second
  DWORD delay;
};

// Called on the host's user-interface thread when a thread file creator
// has made its file (success 1) or failed (0, the reason in the thread
// error); it may release the creator.
typedef void (*HOST_FileCreatorCallback)(uintptr_t userValue, HOST_FILECREATOR creator, BOOL success);

// Disk file creation flag: a local file must also have the prefix and
// suffix asked for, else it is copied.
#define HOST_FILECREATOR_MATCH_NAME 0x1u

// The list a player adds its file extensions to (PLAYER_RegisterFileTypes,
// HOST_AddFileExtension), and the proxy type list it registers its proxy
// types in (PLAYER_RegisterProxyTypes); valid during that call only.
typedef struct HostFileExtensionList_* HOST_FILEEXTENSIONLIST;
typedef struct HostProxyTypeList_* HOST_PROXYTYPELIST;

// A protocol's proxy setting (HOST_GetProxy); freed with HOST_FreeProxyInfo.
// Without a proxy both texts are null and the port -1.
struct HostProxyInfo {
  char* typeName;
  char* host;
  int32_t port;
  BOOL option;
};

// The preferred sound options (HOST_GetSoundSettings). `device` is a
// 16-byte block from HOST_Alloc that the plug-in frees with HOST_Free, or
// null for the default device.
struct HostSoundSettings {
  GUID* device;
  DWORD frequency;
  DWORD bitsPerSample;
  DWORD channels;
  DWORD cooperativeLevel;  // 1 normal, 2 priority, 3 exclusive
};

// The playlist entry being played (HOST_GetCurrentEntry); texts from
// HOST_Alloc or null, freed with HOST_FreeEntryInfo.
struct HostEntryInfo {
  char* url;
  char* title;
  char* displayName;
  DWORD position;  // milliseconds
  DWORD length;    // milliseconds
};

// Results of HOST_PlayerFinished.
enum HostPlaybackResult : DWORD {
  HOST_PLAYBACK_FINISHED = 0,
  HOST_PLAYBACK_ERROR = 1,
  HOST_PLAYBACK_CANNOT_PLAY = 2,
};

// A sound buffer handed to a player; flags of HOST_CreateSoundBuffer.
typedef struct HostSoundBuffer_* HOST_SOUNDBUFFER;
#define HOST_SOUNDBUFFER_VOLUME 0x1u
#define HOST_SOUNDBUFFER_PAN 0x2u
#define HOST_SOUNDBUFFER_FEED_VISUALIZERS 0x4u
#define HOST_SOUNDBUFFER_REPORT_POSITIONS 0x8u
// Frequency, bits or channels of HOST_CreateSoundBuffer: the preferred one.
#define HOST_SOUND_PREFERRED 0xFFFFFFFFu

// A spectrum analyser a plug-in made (HOST_CreateSpectrumAnalyzer) and
// owns until HOST_DestroySpectrumAnalyzer.
typedef struct HostSpectrumAnalyzer_* HOST_SPECTRUMANALYZER;
// Analyser types: one spectrum (left, or both channels mixed), or two.
#define HOST_SPECTRUM_ONE 1u
#define HOST_SPECTRUM_TWO 2u
// Flag of HOST_CreateSpectrumAnalyzer: type 1 averages both channels of
// stereo sound instead of taking the left one.
#define HOST_SPECTRUM_MIX 0x1u

// A spectrum, lent by HOST_SpectrumGetFrame until HOST_SpectrumReleaseFrame.
// Magnitude j of each spectrum belongs to (j + 1) x the band width.
struct HostSpectrumFrame {
  int16_t* values;          // the left, mixed or only channel
  int16_t* rightValues;     // type 2, else null
  DWORD time;               // timeGetTime milliseconds: the window's moment
  HostSpectrumFrame* link;  // the host's; not touched by the plug-in
};

// A mixer line's volume control handed to the current player
// (HOST_GetMixerVolumeControl); one reference per request, given back with
// HOST_ReleaseMixerVolumeControl. The host releases every control when
// playback stops; a control used after that is refused.
typedef struct HostMixerControl_* HOST_MIXERCONTROL;

// ---------------------------------------------------------------------------
// Player objects (kind 0): the head of the object's version, then the
// player's own slots. Slots marked mandatory must be filled.

struct PlayerInterface {
  PlugInObjectInterface head;
  BOOL (*PLAYER_RegisterFileTypes)(HOST_FILEEXTENSIONLIST list);  // null: true
  BOOL (*PLAYER_RegisterProxyTypes)(HOST_PROXYTYPELIST proxies);  // null: true
  // Fills the zeroed answer; the result is not read. Mandatory, as are
  // the slots up to PLAYER_Slot19.
  BOOL (*PLAYER_CanPlay)(const char* url, CanPlayAnswer* answer);
  BOOL (*PLAYER_Play)(const char* url);
  BOOL (*PLAYER_Stop)();
  BOOL (*PLAYER_Pause)();
  BOOL (*PLAYER_Resume)();
  BOOL (*PLAYER_Seek)(DWORD milliseconds);
  int32_t (*PLAYER_SetVolume)(int32_t volume);  // 0..256; the answer is passed back
  uintptr_t (*PLAYER_Slot19)(uintptr_t word);
  int32_t (*PLAYER_SetDisplayMode)(int32_t mode);  // null: 0
  // A viewer event: code and two words. Null: 1.
  int32_t (*PLAYER_Command)(DWORD event, uintptr_t argument, uintptr_t data);
};

struct PlayerInterface2 {
  PlugInObjectInterface2 head;
  BOOL (*PLAYER_RegisterFileTypes)(PLUGIN_CONTEXT context, HOST_FILEEXTENSIONLIST list);
  BOOL (*PLAYER_RegisterProxyTypes)(PLUGIN_CONTEXT context, HOST_PROXYTYPELIST proxies);
  BOOL (*PLAYER_CanPlay)(PLUGIN_CONTEXT context, const char* url, CanPlayAnswer* answer);
  BOOL (*PLAYER_Play)(PLUGIN_CONTEXT context, const char* url);
  BOOL (*PLAYER_Stop)(PLUGIN_CONTEXT context);
  BOOL (*PLAYER_Pause)(PLUGIN_CONTEXT context);
  BOOL (*PLAYER_Resume)(PLUGIN_CONTEXT context);
  BOOL (*PLAYER_Seek)(PLUGIN_CONTEXT context, DWORD milliseconds);
  int32_t (*PLAYER_SetVolume)(PLUGIN_CONTEXT context, int32_t volume);
  uintptr_t (*PLAYER_Slot19)(PLUGIN_CONTEXT context, uintptr_t word);
  int32_t (*PLAYER_SetDisplayMode)(PLUGIN_CONTEXT context, int32_t mode);
  int32_t (*PLAYER_Command)(PLUGIN_CONTEXT context, DWORD event, uintptr_t argument, uintptr_t data);
};

// ---------------------------------------------------------------------------
// Stream-provider objects (kind 1) and the streams they open. A stream is
// the plug-in's own word (PLUGIN_STREAM); the stream functions take it
// first (version 2: the context, then the stream). Flags cross inverted in
// two bits: STREAM_ABI_NOREAD_SHARING and STREAM_ABI_NOWRITE_SHARING mean
// that others may not read or write meanwhile, where the host's flags say
// that they may. Every function but SetProperty, HasPendingError, Shutdown
// and CloseNoThrow fails by returning false with the thread error set.

typedef uintptr_t PLUGIN_STREAM;
#define STREAM_ABI_NOREAD_SHARING 0x100000u
#define STREAM_ABI_NOWRITE_SHARING 0x200000u

// Content-type results.
#define STREAM_CONTENTTYPE_GIVEN 0u
#define STREAM_CONTENTTYPE_NONE 1u
#define STREAM_CONTENTTYPE_UNKNOWN 2u

#define PLUGIN_STREAM_FUNCTIONS(...)                                                                              \
  void (*STREAM_SetProperty)(__VA_ARGS__ PLUGIN_STREAM stream, DWORD index, DWORD value);                         \
  BOOL (*STREAM_GetURL)(__VA_ARGS__ PLUGIN_STREAM stream, char** url);                                            \
  BOOL (*STREAM_GetCapabilities)(__VA_ARGS__ PLUGIN_STREAM stream, DWORD* capabilities);                          \
  BOOL (*STREAM_Read)(__VA_ARGS__ PLUGIN_STREAM stream, void* buffer, DWORD length, DWORD* read);                 \
  BOOL (*STREAM_ReadSome)(__VA_ARGS__ PLUGIN_STREAM stream, void* buffer, DWORD length, DWORD* read);             \
  BOOL (*STREAM_Skip)(__VA_ARGS__ PLUGIN_STREAM stream, DWORD count, DWORD* skipped);                             \
  BOOL (*STREAM_SkipSome)(__VA_ARGS__ PLUGIN_STREAM stream, DWORD count, DWORD* skipped);                         \
  BOOL (*STREAM_Seek)(__VA_ARGS__ PLUGIN_STREAM stream, DWORD offsetLow, DWORD offsetHigh, DWORD origin,          \
                      LONGLONG* position, HANDLE abortEvent);                                                     \
  BOOL (*STREAM_SeekWouldWait)(__VA_ARGS__ PLUGIN_STREAM stream, DWORD offsetLow, DWORD offsetHigh, DWORD origin, \
                               BOOL* wouldWait);                                                                  \
  BOOL (*STREAM_GetPosition)(__VA_ARGS__ PLUGIN_STREAM stream, LONGLONG* position);                               \
  BOOL (*STREAM_GetLength)(__VA_ARGS__ PLUGIN_STREAM stream, DWORD immediate, LONGLONG* length, HANDLE abortEvent); \
  BOOL (*STREAM_GetTransferRate)(__VA_ARGS__ PLUGIN_STREAM stream, DWORD* bytesPerSecond);                        \
  BOOL (*STREAM_GetContentType)(__VA_ARGS__ PLUGIN_STREAM stream, DWORD* result, char** type);                    \
  BOOL (*STREAM_IsAtEnd)(__VA_ARGS__ PLUGIN_STREAM stream, BOOL* atEnd);                                          \
  BOOL (*STREAM_HasPendingError)(__VA_ARGS__ PLUGIN_STREAM stream);                                               \
  BOOL (*STREAM_Shutdown)(__VA_ARGS__ PLUGIN_STREAM stream);                                                      \
  BOOL (*STREAM_Close)(__VA_ARGS__ PLUGIN_STREAM stream);                                                         \
  BOOL (*STREAM_CloseNoThrow)(__VA_ARGS__ PLUGIN_STREAM stream);

struct StreamProviderInterface {
  PlugInObjectInterface head;
  BOOL (*STREAMPROVIDER_RegisterProxyTypes)(HOST_PROXYTYPELIST proxies);  // null: true
  // The answer: capabilities (ABI sense), transfer rate, delay.
  BOOL (*STREAMPROVIDER_CanOpen)(const char* url, DWORD flags, DWORD* answer);  // mandatory
  PLUGIN_STREAM (*STREAMPROVIDER_Open)(const char* url, DWORD flags);           // mandatory; 0: not opened
  PLUGIN_STREAM_FUNCTIONS()                                                     // all mandatory
};

struct StreamProviderInterface2 {
  PlugInObjectInterface2 head;
  BOOL (*STREAMPROVIDER_RegisterProxyTypes)(PLUGIN_CONTEXT context, HOST_PROXYTYPELIST proxies);
  BOOL (*STREAMPROVIDER_CanOpen)(PLUGIN_CONTEXT context, const char* url, DWORD flags, DWORD* answer);
  PLUGIN_STREAM (*STREAMPROVIDER_Open)(PLUGIN_CONTEXT context, const char* url, DWORD flags);
  PLUGIN_STREAM_FUNCTIONS(PLUGIN_CONTEXT context, )
};

#undef PLUGIN_STREAM_FUNCTIONS

// ---------------------------------------------------------------------------
// Visualizer objects (kind 3). Version 1 shares only the head's slots 0-6
// and keeps its skin-change and restore slots among its own; version 2
// keeps the whole head. Pause, Resume, Stop and Feed are mandatory.

struct VisualizerInterface {
  void (*OBJECT_GetVersion)(PlugInVersionInfo* info);
  char* (*OBJECT_GetName)();
  BOOL (*OBJECT_Init)();
  void (*OBJECT_Exit)();
  char* (*OBJECT_GetDescription)();
  BOOL (*OBJECT_Configure)(HWND owner);
  int32_t (*OBJECT_GetIconIndex)();
  BOOL (*VISUALIZER_Prepare)();    // null: true
  BOOL (*VISUALIZER_Unprepare)();  // null: true
  BOOL (*VISUALIZER_Pause)();
  BOOL (*VISUALIZER_Resume)();
  BOOL (*VISUALIZER_Stop)();
  void (*VISUALIZER_BeginSkinChange)();
  void (*VISUALIZER_EndSkinChange)();
  BOOL (*VISUALIZER_RestoreSurfaces)();  // null: true
  int32_t (*VISUALIZER_Feed)(const void* samples, DWORD bytes, DWORD playTime, DWORD frequency, DWORD bitsPerSample,
                             DWORD channels);
  void (*VISUALIZER_SetDisplayMode)(int32_t mode);
  int32_t (*VISUALIZER_OnViewerEvent)(DWORD event, uintptr_t argument, uintptr_t data);  // null: 1
};

struct VisualizerInterface2 {
  PlugInObjectInterface2 head;
  BOOL (*VISUALIZER_Prepare)(PLUGIN_CONTEXT context);
  BOOL (*VISUALIZER_Unprepare)(PLUGIN_CONTEXT context);
  BOOL (*VISUALIZER_Pause)(PLUGIN_CONTEXT context);
  BOOL (*VISUALIZER_Resume)(PLUGIN_CONTEXT context);
  BOOL (*VISUALIZER_Stop)(PLUGIN_CONTEXT context);
  int32_t (*VISUALIZER_Notify)(PLUGIN_CONTEXT context, DWORD code, DWORD value);  // null: 0
  int32_t (*VISUALIZER_Feed)(PLUGIN_CONTEXT context, const void* samples, DWORD bytes, DWORD playTime,
                             DWORD frequency, DWORD bitsPerSample, DWORD channels);
  void (*VISUALIZER_SetDisplayMode)(PLUGIN_CONTEXT context, int32_t mode);
  int32_t (*VISUALIZER_OnViewerEvent)(PLUGIN_CONTEXT context, DWORD event, uintptr_t argument, uintptr_t data);
};

// ---------------------------------------------------------------------------
// File identifiers (kind 4) and file filters (kind 6).

// The list of filter descriptions the host collects while a filter's
// FILEFILTER_BuildFilter runs (HOST_AddFileFilterPattern); valid during
// that call only.
typedef struct HostFileFilterList_* HOST_FILEFILTERLIST;

// A description's number: what the filter gave HOST_AddFileFilterPattern
// for it, handed back to FILEFILTER_TestNames when the user chose it. Wide
// enough for a pointer, since a filter may number its descriptions by
// their addresses.
typedef uintptr_t FILEFILTER_DESCRIPTION;

// An identifier reports what it recognised through HOST_SetFileInfo; its
// answer is not read.
struct FileIdentifierInterface {
  PlugInObjectInterface head;
  BOOL (*FILEIDENTIFIER_Identify)(const char* url);
};

struct FileIdentifierInterface2 {
  PlugInObjectInterface2 head;
  BOOL (*FILEIDENTIFIER_Identify)(PLUGIN_CONTEXT context, const char* url);
};

// FILEFILTER_TestNames sets results[i] to 1 for every name it accepts
// under one of the chosen descriptions and leaves the other results alone.
struct FileFilterInterface {
  PlugInObjectInterface head;
  BOOL (*FILEFILTER_BuildFilter)(HOST_FILEFILTERLIST list);
  BOOL (*FILEFILTER_TestNames)(int32_t descriptionCount, const FILEFILTER_DESCRIPTION* descriptions,
                               int32_t nameCount, const char* const* names, DWORD* results);
};

struct FileFilterInterface2 {
  PlugInObjectInterface2 head;
  BOOL (*FILEFILTER_BuildFilter)(PLUGIN_CONTEXT context, HOST_FILEFILTERLIST list);
  BOOL (*FILEFILTER_TestNames)(PLUGIN_CONTEXT context, int32_t descriptionCount,
                               const FILEFILTER_DESCRIPTION* descriptions, int32_t nameCount,
                               const char* const* names, DWORD* results);
};

// ---------------------------------------------------------------------------
// The host API table: 244 pointer-sized slots. Slots whose services this
// host does not offer yet fail with HOST_MISC_INVALID_PARAM (and answer 0);
// they are declared as reserved ranges.

typedef uintptr_t (*HOST_ReservedSlot)();

// A skin bitmap font of the host (opaque to plug-ins).
typedef struct HostWriter_* HOST_WRITER;

// Each slot keeps one declaration, whatever its length.
// clang-format off
struct HostApiTable {
  // Frame: version, thread errors.
  DWORD (*HOST_GetPlayerVersion)();
  void (*HOST_SetError)(DWORD type, DWORD code, const char* text);
  void (*HOST_SetErrorText)(const char* text);
  void (*HOST_SetDirectDrawError)(DWORD code);
  void (*HOST_SetDirectSoundError)(DWORD code);
  void (*HOST_SetStreamError)(DWORD code);
  void (*HOST_SetWinMMError)(DWORD code);
  void (*HOST_SetMCIError)(DWORD code);
  void (*HOST_SetMiscError)(DWORD code);
  void (*HOST_ExtendErrorText)(const char* prefix, const char* suffix);
  HostSavedError* (*HOST_SaveError)();
  void (*HOST_RestoreError)(const HostSavedError* saved);
  void (*HOST_FreeError)(HostSavedError* saved);
  DWORD (*HOST_GetErrorType)();
  DWORD (*HOST_GetErrorCode)();
  // The thread's own text (or null); not freed by the caller.
  const char* (*HOST_GetErrorText)();
  DWORD (*HOST_GetDirectDrawErrorCode)();
  DWORD (*HOST_GetDirectSoundErrorCode)();
  DWORD (*HOST_GetStreamErrorCode)();
  DWORD (*HOST_GetWinMMErrorCode)();
  DWORD (*HOST_GetMCIErrorCode)();
  DWORD (*HOST_GetMiscErrorCode)();
  // Allocated texts; the caller frees them with HOST_Free.
  char* (*HOST_GetDirectDrawErrorText)(DWORD code);
  char* (*HOST_GetDirectSoundErrorText)(DWORD code);
  char* (*HOST_GetStreamErrorText)(DWORD code);
  char* (*HOST_GetWinMMErrorText)(DWORD code);
  char* (*HOST_GetMCIErrorText)(DWORD code);
  char* (*HOST_GetMiscErrorText)(DWORD code);
  // Log, message box.
  void (*HOST_LogWrite)(const char* text, DWORD category);
  // `arguments` points to the caller's argument list (host and plug-ins
  // are built by one compiler).
  void (*HOST_LogWriteParams)(const char* format, va_list* arguments, DWORD category);
  void (*HOST_LogError)(const char* leadingText, DWORD category);
  int (*HOST_MessageBox)(HWND owner, const char* text, const char* caption, UINT style);
  // Heap and strings.
  void* (*HOST_Alloc)(DWORD size);
  void (*HOST_Free)(void* block);
  // Display: under the host's display lock (43 returns holding it; 44
  // gives it back once).
  HRESULT (*HOST_PrimaryBlit)(IDirectDrawSurface2* destination, int32_t x, int32_t y, IDirectDrawSurface2* source,
                              RECT* sourceRect, DWORD flags, DDBLTFX* effects);
  // The blitter's waiting copy without effects; a copy into a device
  // context with a raster operation.
  HRESULT (*HOST_PrimaryBlitRect)(IDirectDrawSurface2* destination, int32_t x, int32_t y, IDirectDrawSurface2* source,
                                  RECT* sourceRect);
  HRESULT (*HOST_PrimaryBlitDC)(HDC dc, int32_t x, int32_t y, IDirectDrawSurface2* source, RECT* sourceRect,
                                DWORD rop);
  // Skin colours 0..32 (30-32 the viewer skin's): as the skin gives them,
  // and as display pixels; 0 outside, without a thread error.
  DWORD (*HOST_GetSkinColorEntry)(int32_t index);
  DWORD (*HOST_GetSkinColor)(int32_t index);
  DWORD (*HOST_GetColorKey)();
  DWORD (*HOST_GetBlackPixel)();
  // A colour 0x00BBGGRR as a display pixel; `map` also translates a
  // palette index on palettized displays.
  DWORD (*HOST_ColorToPixel)(DWORD color, BOOL map);
  DWORD (*HOST_MapPaletteIndex)(DWORD index);
  IDirectDraw2* (*HOST_LockDirectDraw)();
  void (*HOST_UnlockDirectDraw)();
  // True keeps the display lock until HOST_ReleasePrimarySurface; false
  // stores null and leaves it released.
  BOOL (*HOST_GetPrimarySurface)(IDirectDrawSurface2** surface);
  void (*HOST_ReleasePrimarySurface)();
  void (*HOST_GetPrimarySurfaceDesc)(DDSURFACEDESC* description);
  BOOL (*HOST_IsDisplayAvailable)();
  void (*HOST_RequestRestoreSurfaces)();
  void (*HOST_LockDisplay)();
  void (*HOST_UnlockDisplay)();
  // Font 0..6 of the main skin; true keeps the display lock until
  // HOST_ReleaseWriter.
  BOOL (*HOST_GetWriter)(DWORD index, HOST_WRITER* writer);
  void (*HOST_ReleaseWriter)(HOST_WRITER writer);
  // Skin bitmap fonts as the host draws them.
  int32_t (*HOST_WriterGetTextWidth)(HOST_WRITER writer, const char* text);
  int32_t (*HOST_WriterGetCharWidth)(HOST_WRITER writer, int32_t character);
  int32_t (*HOST_WriterGetHeight)(HOST_WRITER writer);
  BOOL (*HOST_WriterDrawText)(HOST_WRITER writer, IDirectDrawSurface2* surface, int32_t x, int32_t y,
                              const char* text);
  // Window handles, folders.
  HFONT (*HOST_GetControlFont)(DWORD index);
  HWND (*HOST_GetWindowHandle)(DWORD which);
  // The host's own text, ending in a separator; not freed by the caller.
  const char* (*HOST_GetFolder)(DWORD which);
  char* (*HOST_AllocString)(const char* text);
  // A window region of a one-byte-per-pixel mask (0 outside); the bytes
  // stay the caller's.
  BOOL (*HOST_CreateRegionFromMask)(const BYTE* mask, int32_t width, int32_t height, HRGN* region);
  // Icons in the host's image list: the index of an icon (0 for a null
  // icon or one that could not be added).
  int32_t (*HOST_AddIcon)(HICON icon);
  // The index of icon `number` of a file; 0 on failure.
  int32_t (*HOST_AddIconFromFile)(const char* path, int32_t number);
  // The host's index of a system image-list index; 0 for a negative one
  // or on failure.
  int32_t (*HOST_GetSystemIconIndex)(int32_t systemIndex);
  // What an identifier found out about a file: a type text, a type icon
  // (image-list index) and a third value, each with a priority 0..255; a
  // part with priority 0 is not reported.
  BOOL (*HOST_SetFileInfo)(const char* path, const char* typeText, DWORD typePriority, int32_t typeIcon,
                           DWORD iconPriority, int32_t thirdValue, DWORD thirdPriority, PLUGIN_HANDLE caller);
  // Player reports; ignored unless the player is the current one.
  void (*HOST_PauseVisualization)(PLUGIN_HANDLE player);
  void (*HOST_ResumeVisualization)(PLUGIN_HANDLE player);
  void (*HOST_StopVisualization)(PLUGIN_HANDLE player);
  void (*HOST_PlayerFeedSamples)(const void* samples, DWORD bytes, DWORD playTime, DWORD frequency,
                                 DWORD bitsPerSample, DWORD channels, PLUGIN_HANDLE player);
  void (*HOST_PlayerWillPlay)(PLUGIN_HANDLE player);
  void (*HOST_PlayerFinished)(DWORD result, PLUGIN_HANDLE player);
  void (*HOST_PlayerSetPosition)(DWORD milliseconds, PLUGIN_HANDLE player);
  void (*HOST_PlayerSetDuration)(DWORD milliseconds, PLUGIN_HANDLE player);
  // Volume 0..256.
  DWORD (*HOST_GetVolume)();
  DWORD (*HOST_GetPlayerThreadPriority)();
  void (*HOST_PlayerSetSampleFeed)(BOOL feedsItself, DWORD flags, PLUGIN_HANDLE player);
  BOOL (*HOST_GetSoundSettings)(HostSoundSettings* settings, PLUGIN_HANDLE caller);
  // Spectrum analysers: `bits` gives 2^bits bands (0..15) up to half the
  // sample rate, from windows of 2^(bits + 1) samples at that rate;
  // `updatesPerSecond` 1..1000. Times are timeGetTime milliseconds.
  BOOL (*HOST_CreateSpectrumAnalyzer)(int32_t bits, DWORD sampleRate, DWORD type, DWORD updatesPerSecond,
                                      DWORD flags, HOST_SPECTRUMANALYZER* analyzer);
  void (*HOST_DestroySpectrumAnalyzer)(HOST_SPECTRUMANALYZER analyzer);
  // The newest frame that is due, or null (none due, or paused).
  HostSpectrumFrame* (*HOST_SpectrumGetFrame)(HOST_SPECTRUMANALYZER analyzer);
  void (*HOST_SpectrumReleaseFrame)(HOST_SPECTRUMANALYZER analyzer, HostSpectrumFrame* frame);
  BOOL (*HOST_SpectrumIsDue)(HOST_SPECTRUMANALYZER analyzer);
  void (*HOST_SpectrumWaitForUpdate)(HOST_SPECTRUMANALYZER analyzer);
  void (*HOST_SpectrumPause)(HOST_SPECTRUMANALYZER analyzer);
  void (*HOST_SpectrumResume)(HOST_SPECTRUMANALYZER analyzer);
  void (*HOST_SpectrumReset)(HOST_SPECTRUMANALYZER analyzer);
  // PCM (8 or 16 bits, 1 or 2 channels) heard from `playTime` on.
  void (*HOST_SpectrumFeed)(HOST_SPECTRUMANALYZER analyzer, const void* samples, DWORD bytes, DWORD playTime,
                            DWORD frequency, DWORD bitsPerSample, DWORD channels);
  // The playlist entry being played.
  BOOL (*HOST_GetCurrentEntry)(HostEntryInfo* info);
  void (*HOST_FreeEntryInfo)(HostEntryInfo* info);
  BOOL (*HOST_AddFileExtension)(HOST_FILEEXTENSIONLIST list, const char* extension, const char* description,
                                DWORD fileType, PLUGIN_HANDLE caller);
  HOST_ReservedSlot reserved92_109[18];
  // One description a filter offers during FILEFILTER_BuildFilter.
  BOOL (*HOST_AddFileFilterPattern)(HOST_FILEFILTERLIST list, const char* text, FILEFILTER_DESCRIPTION description,
                                    PLUGIN_HANDLE caller);
  HOST_ReservedSlot reserved111_134[24];
  // File system, streams.
  BOOL (*HOST_GetFileSystemInfo)(const char* url, DWORD flags, HostFileSystemAnswer* answer, PLUGIN_HANDLE caller);
  BOOL (*HOST_OpenStream)(const char* url, DWORD flags, DWORD forbiddenEmulators, PLUGIN_HANDLE owner,
                          HOST_STREAM* stream);
  BOOL (*HOST_StreamSetProperty)(HOST_STREAM stream, DWORD index, uintptr_t value);
  BOOL (*HOST_StreamGetPath)(HOST_STREAM stream, char** url);
  BOOL (*HOST_StreamGetFlags)(HOST_STREAM stream, DWORD* flags);
  BOOL (*HOST_StreamRead)(HOST_STREAM stream, void* buffer, DWORD size, DWORD* count);
  BOOL (*HOST_StreamReadSome)(HOST_STREAM stream, void* buffer, DWORD size, DWORD* count);
  BOOL (*HOST_StreamSkip)(HOST_STREAM stream, DWORD count, DWORD* skipped);
  BOOL (*HOST_StreamSkipSome)(HOST_STREAM stream, DWORD count, DWORD* skipped);
  // Positions and lengths: two words, low first. Origin 0 start, 1
  // current, 2 end. `position` may be null.
  BOOL (*HOST_StreamSeek)(HOST_STREAM stream, DWORD offsetLow, DWORD offsetHigh, DWORD origin, DWORD* position,
                          HANDLE abortEvent);
  BOOL (*HOST_StreamCanSeek)(HOST_STREAM stream, DWORD offsetLow, DWORD offsetHigh, DWORD origin, BOOL* wouldWait);
  BOOL (*HOST_StreamGetPosition)(HOST_STREAM stream, DWORD* position);
  BOOL (*HOST_StreamGetLength)(HOST_STREAM stream, BOOL immediate, DWORD* length, uintptr_t unused);
  BOOL (*HOST_StreamGetTransferRate)(HOST_STREAM stream, DWORD* bytesPerSecond);
  // Result 0: the type as an allocated text; 1 none; 2 not known yet.
  BOOL (*HOST_StreamGetContentType)(HOST_STREAM stream, DWORD* result, char** type);
  BOOL (*HOST_StreamIsEOF)(HOST_STREAM stream, BOOL* atEnd);
  BOOL (*HOST_StreamCheckError)(HOST_STREAM stream);
  BOOL (*HOST_StreamClose)(HOST_STREAM stream);
  void (*HOST_StreamRelease)(HOST_STREAM stream);
  // Exclusive access to the file being played.
  BOOL (*GetExclusiveFileAccess)(const char* url, PLUGIN_HANDLE player);
  // Disk files for URLs. `abortEvent` may be null; `unused` is not read.
  BOOL (*HOST_CreateInstantFileCreator)(char** fileName, const char* url, const char* prefix, const char* suffix,
                                        HANDLE abortEvent, uintptr_t unused, DWORD flags, PLUGIN_HANDLE caller,
                                        HOST_FILECREATOR* creator);
  BOOL (*HOST_CreateThreadFileCreator)(const char* url, const char* prefix, const char* suffix,
                                       HOST_FileCreatorCallback callback, uintptr_t userValue, DWORD flags,
                                       PLUGIN_HANDLE caller, HOST_FILECREATOR* creator);
  BOOL (*HOST_FileCreatorGetFileName)(HOST_FILECREATOR creator, char** fileName);
  void (*HOST_FileCreatorRelease)(HOST_FILECREATOR creator);
  // Sound: the primary format of a device, the volume table.
  BOOL (*HOST_SetPrimarySoundFormat)(IDirectSound* directSound, DWORD frequency, DWORD bitsPerSample,
                                     DWORD channels);
  // Hundredths of a decibel for a volume level (0..256).
  LONG (*HOST_VolumeToAttenuation)(LONG volume);
  // Mixer lines: levels 0..256 relative to the line's value when the
  // control first set it; that value comes back with RestoreVolume, the
  // last release, and when playback stops. Release answers the new count.
  BOOL (*HOST_GetMixerVolumeControl)(DWORD componentType, PLUGIN_HANDLE player, HOST_MIXERCONTROL* control);
  LONG (*HOST_ReleaseMixerVolumeControl)(HOST_MIXERCONTROL control);
  BOOL (*HOST_MixerSetVolume)(HOST_MIXERCONTROL control, int32_t level);
  BOOL (*HOST_MixerGetVolume)(HOST_MIXERCONTROL control, int32_t* level);
  BOOL (*HOST_MixerRestoreVolume)(HOST_MIXERCONTROL control);
  // Sound buffers: streaming rings a player writes PCM into. Values come
  // back through the pointers; every slot answers false with the thread
  // error on failure.
  BOOL (*HOST_CreateSoundBuffer)(DWORD bytes, DWORD frequency, DWORD bitsPerSample, DWORD channels, DWORD flags,
                                 PLUGIN_HANDLE player, HOST_SOUNDBUFFER* buffer);
  void (*HOST_DestroySoundBuffer)(HOST_SOUNDBUFFER buffer);
  BOOL (*HOST_SoundBufferReset)(HOST_SOUNDBUFFER buffer, float startMilliseconds);
  BOOL (*HOST_SoundBufferGetFreeSpace)(HOST_SOUNDBUFFER buffer, DWORD* bytes);
  BOOL (*HOST_SoundBufferGetLatency)(HOST_SOUNDBUFFER buffer, DWORD* bytes);
  BOOL (*HOST_SoundBufferGetQueued)(HOST_SOUNDBUFFER buffer, DWORD* bytes);
  // The low 32 bits of the bytes written since the last reset.
  BOOL (*HOST_SoundBufferGetTotalWritten)(HOST_SOUNDBUFFER buffer, DWORD* bytes);
  BOOL (*HOST_SoundBufferWait)(HOST_SOUNDBUFFER buffer, DWORD bytes, HANDLE abortEvent);
  BOOL (*HOST_SoundBufferWrite)(HOST_SOUNDBUFFER buffer, const void* samples, DWORD bytes, BOOL commit);
  BOOL (*HOST_SoundBufferWriteSilence)(HOST_SOUNDBUFFER buffer, DWORD bytes, BOOL commit);
  BOOL (*HOST_SoundBufferGetPlayTime)(HOST_SOUNDBUFFER buffer, DWORD* milliseconds);
  BOOL (*HOST_SoundBufferLock)(HOST_SOUNDBUFFER buffer, DWORD offset, DWORD bytes, void** first, DWORD* firstBytes,
                               void** second, DWORD* secondBytes);
  BOOL (*HOST_SoundBufferUnlock)(HOST_SOUNDBUFFER buffer, void* first, DWORD firstBytes, void* second,
                                 DWORD secondBytes);
  BOOL (*HOST_SoundBufferCommit)(HOST_SOUNDBUFFER buffer, DWORD bytes);
  BOOL (*HOST_SoundBufferGetWriteOffset)(HOST_SOUNDBUFFER buffer, DWORD* offset);
  BOOL (*HOST_SoundBufferGetCommittedOffset)(HOST_SOUNDBUFFER buffer, DWORD* offset);
  BOOL (*HOST_SoundBufferPlay)(HOST_SOUNDBUFFER buffer);
  BOOL (*HOST_SoundBufferStop)(HOST_SOUNDBUFFER buffer, BOOL drain, HANDLE abortEvent);
  BOOL (*HOST_SoundBufferGetPosition)(HOST_SOUNDBUFFER buffer, DWORD* playCursor, DWORD* writeCursor);
  BOOL (*HOST_SoundBufferGetPlayPosition)(HOST_SOUNDBUFFER buffer, DWORD* playCursor);
  BOOL (*HOST_SoundBufferSetPosition)(HOST_SOUNDBUFFER buffer, DWORD offset);
  BOOL (*HOST_SoundBufferSetVolume)(HOST_SOUNDBUFFER buffer, int32_t volume);
  BOOL (*HOST_SoundBufferGetVolume)(HOST_SOUNDBUFFER buffer, int32_t* volume);
  BOOL (*HOST_SoundBufferSetPan)(HOST_SOUNDBUFFER buffer, int32_t pan);
  BOOL (*HOST_SoundBufferGetPan)(HOST_SOUNDBUFFER buffer, int32_t* pan);
  // Pixel blocks: a conversion between two formats (records of 32 bytes,
  // RGB flag set; `palette` holds 2^bits entries 0x00BBGGRR for a
  // palettized source), a BMP loaded into a block from HOST_Alloc, and a
  // BMP converted into the caller's block of the expected size. Pitches
  // are bytes from one row to the next, negative for bottom-up rows.
  BOOL (*HOST_CopyBitmapData)(const DDPIXELFORMAT* destinationFormat, void* destination, int32_t destinationPitch,
                              const DDPIXELFORMAT* sourceFormat, const void* source, int32_t sourcePitch,
                              int32_t width, int32_t height, const DWORD* palette);
  BOOL (*HOST_LoadBitmap)(const char* url, DDPIXELFORMAT* format, void** bits, int32_t* pitch, int32_t* width,
                          int32_t* height);
  BOOL (*HOST_LoadBitmapData)(const char* url, const DDPIXELFORMAT* format, void* bits, int32_t pitch, int32_t width,
                              int32_t height);
  HOST_ReservedSlot reserved194_208[15];
  // Proxies and the connection time-out: a protocol's proxy type with its
  // default port, registered into the list a registration call was handed;
  // the user's setting of a protocol; the time-out in milliseconds.
  BOOL (*HOST_RegisterProxyType)(HOST_PROXYTYPELIST list, const char* protocol, const char* typeName,
                                 int32_t defaultPort, PLUGIN_HANDLE caller);
  BOOL (*HOST_GetProxy)(const char* protocol, HostProxyInfo* info, PLUGIN_HANDLE caller);
  void (*HOST_FreeProxyInfo)(HostProxyInfo* info);
  DWORD (*HOST_GetConnectionTimeout)(PLUGIN_HANDLE caller);
  HOST_ReservedSlot reserved213_227[15];
  // Spectrum analysers: when the next update is due, and the due test and
  // the wait with an offset (milliseconds) added to the due time.
  DWORD (*HOST_SpectrumGetNextUpdateTime)(HOST_SPECTRUMANALYZER analyzer);
  BOOL (*HOST_SpectrumIsDueEx)(HOST_SPECTRUMANALYZER analyzer, int32_t offset);
  void (*HOST_SpectrumWaitForUpdateEx)(HOST_SPECTRUMANALYZER analyzer, int32_t offset);
  // Slots 37, 38 and 52 of a chosen skin: 0 the main skin, 1 the viewer's.
  DWORD (*HOST_GetSkinColorEntryOf)(DWORD skin, int32_t index);
  DWORD (*HOST_GetSkinColorOf)(DWORD skin, int32_t index);
  BOOL (*HOST_GetWriterOf)(DWORD skin, DWORD index, HOST_WRITER* writer);
  // Log time stamps.
  void (*HOST_LogWriteTime)();
  void (*HOST_LogWriteDate)();
  void (*HOST_LogWriteDateAndTime)();
  HOST_ReservedSlot reserved237_239[3];
  // The display palette of a palettized display: up to `count` entries
  // from `first`, how many in `copied`; and its 65,536-byte colour
  // conversion table (zeros on other displays).
  BOOL (*HOST_GetPaletteEntries)(DWORD* destination, int32_t first, int32_t count, int32_t* copied);
  BOOL (*HOST_GetColorConversionTable)(BYTE* destination);
  // Gives back the display lock of HOST_GetWriterOf; the words are not read.
  void (*HOST_ReleaseWriterOf)(uintptr_t unused1, uintptr_t unused2);
  // Product name, allocated.
  char* (*HOST_GetPlayerName)();
};

// clang-format on

#define HOST_API_SLOT_COUNT 244u

}  // extern "C"

// ---------------------------------------------------------------------------
// Layout checks

static_assert(sizeof(PlugInVersionInfo) == 8);
static_assert(sizeof(PlugInMainInterface) == 6 * sizeof(void*));
static_assert(sizeof(PlugInObjectInterface) == 10 * sizeof(void*));
static_assert(sizeof(PlugInObjectInterface2) == 14 * sizeof(void*));
static_assert(sizeof(HostSavedError) == 8 + sizeof(void*));
static_assert(sizeof(HostFileSystemAnswer) == 12);
static_assert(sizeof(HostSoundSettings) == sizeof(void*) + 16);
static_assert(sizeof(HostEntryInfo) == 3 * sizeof(void*) + 8);
static_assert(sizeof(HostSpectrumFrame) == 3 * sizeof(void*) + 8);
static_assert(offsetof(HostSpectrumFrame, time) == 2 * sizeof(void*));
static_assert(sizeof(PlayerInterface) == 22 * sizeof(void*));
static_assert(sizeof(PlayerInterface2) == 26 * sizeof(void*));
static_assert(sizeof(HostApiTable) == HOST_API_SLOT_COUNT * sizeof(void*));
static_assert(sizeof(StreamProviderInterface) == 31 * sizeof(void*));
static_assert(sizeof(StreamProviderInterface2) == 35 * sizeof(void*));
static_assert(sizeof(VisualizerInterface) == 18 * sizeof(void*));
static_assert(sizeof(VisualizerInterface2) == 23 * sizeof(void*));
static_assert(sizeof(FileIdentifierInterface) == 11 * sizeof(void*));
static_assert(sizeof(FileIdentifierInterface2) == 15 * sizeof(void*));
static_assert(sizeof(FileFilterInterface) == 12 * sizeof(void*));
static_assert(sizeof(FileFilterInterface2) == 16 * sizeof(void*));

#define PLUGIN_ABI_SLOT(Table, member) (offsetof(Table, member) / sizeof(void*))
static_assert(PLUGIN_ABI_SLOT(PlugInMainInterface, PLUGIN_EnumObjects) == 5);
static_assert(PLUGIN_ABI_SLOT(PlugInObjectInterface, OBJECT_GetDescription) == 4);
static_assert(PLUGIN_ABI_SLOT(PlugInObjectInterface, OBJECT_RestoreSurfaces) == 9);
static_assert(PLUGIN_ABI_SLOT(PlugInObjectInterface2, OBJECT_Init) == 3);
static_assert(PLUGIN_ABI_SLOT(PlugInObjectInterface2, OBJECT_ShowInfo) == 10);
static_assert(PLUGIN_ABI_SLOT(PlugInObjectInterface2, OBJECT_RestoreSurfaces) == 13);
static_assert(PLUGIN_ABI_SLOT(PlayerInterface, PLAYER_RegisterFileTypes) == 10);
static_assert(PLUGIN_ABI_SLOT(PlayerInterface, PLAYER_CanPlay) == 12);
static_assert(PLUGIN_ABI_SLOT(PlayerInterface, PLAYER_Slot19) == 19);
static_assert(PLUGIN_ABI_SLOT(PlayerInterface, PLAYER_Command) == 21);
static_assert(PLUGIN_ABI_SLOT(PlayerInterface2, PLAYER_RegisterFileTypes) == 14);
static_assert(PLUGIN_ABI_SLOT(PlayerInterface2, PLAYER_CanPlay) == 16);
static_assert(PLUGIN_ABI_SLOT(PlayerInterface2, PLAYER_Command) == 25);
static_assert(PLUGIN_ABI_SLOT(StreamProviderInterface, STREAMPROVIDER_CanOpen) == 11);
static_assert(PLUGIN_ABI_SLOT(StreamProviderInterface, STREAM_SetProperty) == 13);
static_assert(PLUGIN_ABI_SLOT(StreamProviderInterface, STREAM_HasPendingError) == 27);
static_assert(PLUGIN_ABI_SLOT(StreamProviderInterface, STREAM_CloseNoThrow) == 30);
static_assert(PLUGIN_ABI_SLOT(StreamProviderInterface2, STREAMPROVIDER_RegisterProxyTypes) == 14);
static_assert(PLUGIN_ABI_SLOT(StreamProviderInterface2, STREAM_CloseNoThrow) == 34);
static_assert(PLUGIN_ABI_SLOT(VisualizerInterface, VISUALIZER_Prepare) == 7);
static_assert(PLUGIN_ABI_SLOT(VisualizerInterface, VISUALIZER_Feed) == 15);
static_assert(PLUGIN_ABI_SLOT(VisualizerInterface, VISUALIZER_OnViewerEvent) == 17);
static_assert(PLUGIN_ABI_SLOT(VisualizerInterface2, VISUALIZER_Prepare) == 14);
static_assert(PLUGIN_ABI_SLOT(VisualizerInterface2, VISUALIZER_Notify) == 19);
static_assert(PLUGIN_ABI_SLOT(VisualizerInterface2, VISUALIZER_OnViewerEvent) == 22);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_SetError) == 1);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_GetErrorText) == 15);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_GetMiscErrorText) == 27);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_LogWriteParams) == 29);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_Free) == 33);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_PrimaryBlit) == 34);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_MapPaletteIndex) == 42);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_UnlockDirectDraw) == 44);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_PrimaryBlitRect) == 35);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_ColorToPixel) == 41);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_GetPrimarySurface) == 45);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_ReleaseWriter) == 53);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_WriterGetTextWidth) == 54);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_WriterDrawText) == 57);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_GetControlFont) == 58);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_AllocString) == 61);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_CreateRegionFromMask) == 62);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_AddIcon) == 63);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_GetSystemIconIndex) == 65);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_SetFileInfo) == 66);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_PauseVisualization) == 67);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_PlayerFeedSamples) == 70);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_GetSoundSettings) == 78);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_CreateSpectrumAnalyzer) == 79);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_SpectrumFeed) == 88);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_GetCurrentEntry) == 89);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_AddFileExtension) == 91);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_AddFileFilterPattern) == 110);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_GetFileSystemInfo) == 135);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_CopyBitmapData) == 191);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_LoadBitmapData) == 193);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_RegisterProxyType) == 209);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_GetConnectionTimeout) == 212);
static_assert(PLUGIN_ABI_SLOT(FileIdentifierInterface, FILEIDENTIFIER_Identify) == 10);
static_assert(PLUGIN_ABI_SLOT(FileIdentifierInterface2, FILEIDENTIFIER_Identify) == 14);
static_assert(PLUGIN_ABI_SLOT(FileFilterInterface, FILEFILTER_TestNames) == 11);
static_assert(PLUGIN_ABI_SLOT(FileFilterInterface2, FILEFILTER_BuildFilter) == 14);
static_assert(PLUGIN_ABI_SLOT(FileFilterInterface2, FILEFILTER_TestNames) == 15);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_StreamSeek) == 144);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_StreamRelease) == 153);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, GetExclusiveFileAccess) == 154);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_FileCreatorRelease) == 158);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_VolumeToAttenuation) == 160);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_GetMixerVolumeControl) == 161);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_MixerRestoreVolume) == 165);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_CreateSoundBuffer) == 166);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_SoundBufferGetTotalWritten) == 172);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_SoundBufferStop) == 183);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_SoundBufferGetPlayPosition) == 185);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_SoundBufferGetPan) == 190);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_SpectrumGetNextUpdateTime) == 228);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_SpectrumWaitForUpdateEx) == 230);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_GetSkinColorEntryOf) == 231);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_GetWriterOf) == 233);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_LogWriteTime) == 234);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_GetPaletteEntries) == 240);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_ReleaseWriterOf) == 242);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_LogWriteDateAndTime) == 236);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_GetPlayerName) == 243);

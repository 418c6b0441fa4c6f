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

#include <windows.h>

#include <cstdarg>
#include <cstddef>
#include <cstdint>

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

// ---------------------------------------------------------------------------
// The host API table: 244 pointer-sized slots. Slots whose services this
// host does not offer yet fail with HOST_MISC_INVALID_PARAM (and answer 0);
// they are declared as reserved ranges.

typedef uintptr_t (*HOST_ReservedSlot)();

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
  HOST_ReservedSlot reserved34_57[24];
  // Window handles, folders.
  HFONT (*HOST_GetControlFont)(DWORD index);
  HWND (*HOST_GetWindowHandle)(DWORD which);
  // The host's own text, ending in a separator; not freed by the caller.
  const char* (*HOST_GetFolder)(DWORD which);
  char* (*HOST_AllocString)(const char* text);
  HOST_ReservedSlot reserved62_134[73];
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
  HOST_ReservedSlot reserved159_233[75];
  // Log time stamps.
  void (*HOST_LogWriteTime)();
  void (*HOST_LogWriteDate)();
  void (*HOST_LogWriteDateAndTime)();
  HOST_ReservedSlot reserved237_242[6];
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
static_assert(sizeof(HostApiTable) == HOST_API_SLOT_COUNT * sizeof(void*));

#define PLUGIN_ABI_SLOT(Table, member) (offsetof(Table, member) / sizeof(void*))
static_assert(PLUGIN_ABI_SLOT(PlugInMainInterface, PLUGIN_EnumObjects) == 5);
static_assert(PLUGIN_ABI_SLOT(PlugInObjectInterface, OBJECT_GetDescription) == 4);
static_assert(PLUGIN_ABI_SLOT(PlugInObjectInterface, OBJECT_RestoreSurfaces) == 9);
static_assert(PLUGIN_ABI_SLOT(PlugInObjectInterface2, OBJECT_Init) == 3);
static_assert(PLUGIN_ABI_SLOT(PlugInObjectInterface2, OBJECT_ShowInfo) == 10);
static_assert(PLUGIN_ABI_SLOT(PlugInObjectInterface2, OBJECT_RestoreSurfaces) == 13);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_SetError) == 1);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_GetErrorText) == 15);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_GetMiscErrorText) == 27);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_LogWriteParams) == 29);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_Free) == 33);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_GetControlFont) == 58);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_AllocString) == 61);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_GetFileSystemInfo) == 135);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_StreamSeek) == 144);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_StreamRelease) == 153);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, GetExclusiveFileAccess) == 154);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_FileCreatorRelease) == 158);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_LogWriteTime) == 234);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_LogWriteDateAndTime) == 236);
static_assert(PLUGIN_ABI_SLOT(HostApiTable, HOST_GetPlayerName) == 243);

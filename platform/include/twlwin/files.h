// Files and folders on native POSIX paths. Every path may use '\' or '/'
// as separator; when the exact name is missing, each component is looked up
// again ignoring case (skins and playlists made on Windows rely on it).
// Share modes are enforced between the handles of one process.
#pragma once

#include "types.h"

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define GENERIC_EXECUTE 0x20000000u
#define GENERIC_ALL 0x10000000u
#define DELETE 0x00010000u

#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u

#define CREATE_NEW 1u
#define CREATE_ALWAYS 2u
#define OPEN_EXISTING 3u
#define OPEN_ALWAYS 4u
#define TRUNCATE_EXISTING 5u

#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_ATTRIBUTE_SYSTEM 0x00000004u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020u
#define FILE_ATTRIBUTE_DEVICE 0x00000040u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define FILE_ATTRIBUTE_TEMPORARY 0x00000100u
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu

#define FILE_FLAG_WRITE_THROUGH 0x80000000u
#define FILE_FLAG_NO_BUFFERING 0x20000000u  // accepted; the layer keeps no cache of its own
#define FILE_FLAG_RANDOM_ACCESS 0x10000000u
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000u
#define FILE_FLAG_DELETE_ON_CLOSE 0x04000000u
// Needed to open a folder with CreateFileA, as on Windows.
#define FILE_FLAG_BACKUP_SEMANTICS 0x02000000u

#define FILE_BEGIN 0u
#define FILE_CURRENT 1u
#define FILE_END 2u
#define INVALID_SET_FILE_POINTER 0xFFFFFFFFu
#define INVALID_FILE_SIZE 0xFFFFFFFFu

#define DRIVE_UNKNOWN 0u
#define DRIVE_NO_ROOT_DIR 1u
#define DRIVE_REMOVABLE 2u
#define DRIVE_FIXED 3u
#define DRIVE_REMOTE 4u
#define DRIVE_CDROM 5u
#define DRIVE_RAMDISK 6u

typedef struct _WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  CHAR cFileName[MAX_PATH];
  CHAR cAlternateFileName[14];
} WIN32_FIND_DATAA, *PWIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;

// Handles are synchronous: an OVERLAPPED only gives the file position of a
// read or write (which then also moves the file pointer, as on Windows).
typedef struct _OVERLAPPED {
  ULONG_PTR Internal;
  ULONG_PTR InternalHigh;
  union {
    struct {
      DWORD Offset;
      DWORD OffsetHigh;
    };
    PVOID Pointer;
  };
  HANDLE hEvent;
} OVERLAPPED, *LPOVERLAPPED;

TWLAPI HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES attributes,
                          DWORD creation, DWORD flags, HANDLE templateFile);
TWLAPI BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED overlapped);
TWLAPI BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, LPOVERLAPPED overlapped);
TWLAPI BOOL FlushFileBuffers(HANDLE file);
TWLAPI BOOL SetFilePointerEx(HANDLE file, LARGE_INTEGER distance, PLARGE_INTEGER newPosition, DWORD method);
TWLAPI DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD method);
TWLAPI BOOL SetEndOfFile(HANDLE file);
TWLAPI BOOL GetFileSizeEx(HANDLE file, PLARGE_INTEGER size);
TWLAPI DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh);
TWLAPI BOOL GetFileTime(HANDLE file, LPFILETIME creation, LPFILETIME lastAccess, LPFILETIME lastWrite);

TWLAPI BOOL DeleteFileA(LPCSTR name);
TWLAPI BOOL CopyFileA(LPCSTR existing, LPCSTR target, BOOL failIfExists);
TWLAPI BOOL MoveFileA(LPCSTR existing, LPCSTR target);
#define MOVEFILE_REPLACE_EXISTING 0x1u
// The moved file's data and its new name are on disk when the call returns.
#define MOVEFILE_WRITE_THROUGH 0x8u
TWLAPI BOOL MoveFileExA(LPCSTR existing, LPCSTR target, DWORD flags);
// Puts the file `replacement` in the place of the existing `replaced` in
// one step, keeping the permissions of the file `replaced` leads to (and
// its owner and group where the caller may set them). `replaced` is taken
// as a name: a symbolic link there is itself replaced, so a caller that
// means the file a link names passes its final path
// (GetFinalPathNameByHandleA). A missing
// `replaced` fails with ERROR_FILE_NOT_FOUND and changes nothing. Backup
// files are not made: `backup` must be null.
#define REPLACEFILE_WRITE_THROUGH 0x1u
TWLAPI BOOL ReplaceFileA(LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD flags, LPVOID exclude,
                         LPVOID reserved);
TWLAPI DWORD GetFileAttributesA(LPCSTR name);
// Of the attributes only FILE_ATTRIBUTE_READONLY changes the file (its
// write permissions); the others are accepted and not kept.
TWLAPI BOOL SetFileAttributesA(LPCSTR name, DWORD attributes);
TWLAPI BOOL CreateDirectoryA(LPCSTR name, LPSECURITY_ATTRIBUTES attributes);
TWLAPI BOOL RemoveDirectoryA(LPCSTR name);

TWLAPI HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data);
TWLAPI BOOL FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data);
TWLAPI BOOL FindClose(HANDLE find);

// Change notification on one folder (subtrees are not watched): a waitable
// handle that is signalled while changes of the kinds in the filter are
// pending, until FindNextChangeNotification re-arms it. A file whose
// writer closes it counts as a change of its name, so a file caught while
// it was still being copied is seen again once complete. When the folder
// itself is removed the handle stays signalled and re-arming fails.
#define FILE_NOTIFY_CHANGE_FILE_NAME 0x00000001u
#define FILE_NOTIFY_CHANGE_DIR_NAME 0x00000002u
#define FILE_NOTIFY_CHANGE_LAST_WRITE 0x00000010u

TWLAPI HANDLE FindFirstChangeNotificationA(LPCSTR folder, BOOL watchSubtree, DWORD filter);
TWLAPI BOOL FindNextChangeNotification(HANDLE notification);
TWLAPI BOOL FindCloseChangeNotification(HANDLE notification);

TWLAPI DWORD GetTempPathA(DWORD size, LPSTR buffer);
TWLAPI UINT GetTempFileNameA(LPCSTR path, LPCSTR prefix, UINT unique, LPSTR name);
TWLAPI DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer);
TWLAPI BOOL SetCurrentDirectoryA(LPCSTR path);
TWLAPI UINT GetDriveTypeA(LPCSTR root);
// The file system that holds `root` (any path on it: a folder, a file, or
// a name not yet made, whose nearest existing folder counts; null: the
// current folder's), in 512-byte sectors and clusters of the file system's
// fragment size. Cluster counts beyond 32 bits read as 0xFFFFFFFF; the Ex
// form gives the bytes in 64 bits (free to the caller, total, free).
TWLAPI BOOL GetDiskFreeSpaceA(LPCSTR root, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector,
                              LPDWORD freeClusters, LPDWORD totalClusters);
TWLAPI BOOL GetDiskFreeSpaceExA(LPCSTR root, PULARGE_INTEGER freeToCaller, PULARGE_INTEGER totalBytes,
                                PULARGE_INTEGER freeBytes);
TWLAPI DWORD GetFullPathNameA(LPCSTR name, DWORD size, LPSTR buffer, LPSTR* filePart);
// The absolute native path of the file a handle is open on, every symbolic
// link on the way followed; the buffer protocol of GetFullPathNameA.
#define FILE_NAME_NORMALIZED 0x0u
#define VOLUME_NAME_DOS 0x0u
TWLAPI DWORD GetFinalPathNameByHandleA(HANDLE file, LPSTR buffer, DWORD size, DWORD flags);

// Fixed-width Windows types. DWORD, LONG and BOOL are 32 bits whatever the
// word size, because stored formats and many fields are written in them.
// Handles are opaque pointers whose value is a 32-bit id from one of the
// layer's handle tables, so a handle survives a trip through a 32-bit field.
#pragma once

#include <cstddef>
#include <cstdint>

#include "api.h"

typedef int32_t BOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef uint32_t UINT;
typedef int32_t INT;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int16_t SHORT;
typedef uint16_t USHORT;
typedef uint8_t UCHAR;
typedef char CHAR;
typedef char16_t WCHAR;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef uint64_t DWORD64;
typedef uint64_t QWORD;
typedef float FLOAT;

typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef size_t SIZE_T;

typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;

typedef void VOID;
typedef void* PVOID;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef BOOL* LPBOOL;
typedef BYTE* LPBYTE;
typedef BYTE* PBYTE;
typedef WORD* LPWORD;
typedef DWORD* LPDWORD;
typedef DWORD* PDWORD;
typedef LONG* PLONG;
typedef LONG* LPLONG;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef char* PSTR;
typedef const char* PCSTR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#ifndef MAX_PATH
#define MAX_PATH 260
#endif

// Handle types. Each is its own pointer type so that a window cannot be
// passed where an icon is expected; the pointed-to structs are never defined.
#define TWL_DECLARE_HANDLE(name) \
  struct name##__;               \
  typedef name##__* name

typedef void* HANDLE;
typedef HANDLE* LPHANDLE;
typedef HANDLE* PHANDLE;
TWL_DECLARE_HANDLE(HINSTANCE);
typedef HINSTANCE HMODULE;
TWL_DECLARE_HANDLE(HWND);
TWL_DECLARE_HANDLE(HKEY);
TWL_DECLARE_HANDLE(HICON);
typedef HICON HCURSOR;
TWL_DECLARE_HANDLE(HMENU);
TWL_DECLARE_HANDLE(HDC);
TWL_DECLARE_HANDLE(HBITMAP);
TWL_DECLARE_HANDLE(HBRUSH);
TWL_DECLARE_HANDLE(HPEN);
TWL_DECLARE_HANDLE(HFONT);
TWL_DECLARE_HANDLE(HRGN);
TWL_DECLARE_HANDLE(HPALETTE);
TWL_DECLARE_HANDLE(HRSRC);
TWL_DECLARE_HANDLE(HACCEL);
TWL_DECLARE_HANDLE(HHOOK);
typedef void* HGDIOBJ;
typedef HANDLE HGLOBAL;
typedef HANDLE HLOCAL;

// A handle kept in a 32-bit field comes back through LongToHandle, which
// sign-extends, so INVALID_HANDLE_VALUE survives the trip too.
inline DWORD HandleToULong(const void* h) { return static_cast<DWORD>(reinterpret_cast<uintptr_t>(h)); }
inline LONG HandleToLong(const void* h) { return static_cast<LONG>(reinterpret_cast<intptr_t>(h)); }
inline HANDLE ULongToHandle(DWORD v) { return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(v)); }
inline HANDLE LongToHandle(LONG v) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(v)); }

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)))

#define LOWORD(l) (static_cast<WORD>(static_cast<DWORD_PTR>(l) & 0xFFFF))
#define HIWORD(l) (static_cast<WORD>((static_cast<DWORD_PTR>(l) >> 16) & 0xFFFF))
#define LOBYTE(w) (static_cast<BYTE>(static_cast<DWORD_PTR>(w) & 0xFF))
#define HIBYTE(w) (static_cast<BYTE>((static_cast<DWORD_PTR>(w) >> 8) & 0xFF))
#define MAKEWORD(a, b) (static_cast<WORD>((static_cast<BYTE>(a)) | (static_cast<WORD>(static_cast<BYTE>(b)) << 8)))
#define MAKELONG(a, b) (static_cast<LONG>((static_cast<WORD>(a)) | (static_cast<DWORD>(static_cast<WORD>(b)) << 16)))

typedef union _LARGE_INTEGER {
  struct {
    DWORD LowPart;
    LONG HighPart;
  } u;
  LONGLONG QuadPart;
} LARGE_INTEGER, *PLARGE_INTEGER;

typedef union _ULARGE_INTEGER {
  struct {
    DWORD LowPart;
    DWORD HighPart;
  } u;
  ULONGLONG QuadPart;
} ULARGE_INTEGER, *PULARGE_INTEGER;

typedef struct _FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
} FILETIME, *PFILETIME, *LPFILETIME;

typedef struct _SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *PSECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

typedef struct tagPOINT {
  LONG x;
  LONG y;
} POINT, *PPOINT, *LPPOINT;

typedef struct tagSIZE {
  LONG cx;
  LONG cy;
} SIZE, *PSIZE, *LPSIZE;

typedef struct tagRECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
} RECT, *PRECT, *LPRECT;
typedef const RECT* LPCRECT;

typedef DWORD COLORREF;
#define RGB(r, g, b) \
  (static_cast<COLORREF>(static_cast<BYTE>(r) | (static_cast<WORD>(static_cast<BYTE>(g)) << 8) | (static_cast<DWORD>(static_cast<BYTE>(b)) << 16)))
#define GetRValue(c) (static_cast<BYTE>(c))
#define GetGValue(c) (static_cast<BYTE>(static_cast<WORD>(c) >> 8))
#define GetBValue(c) (static_cast<BYTE>((c) >> 16))

// The component object basics that the layer's interfaces (DirectSound,
// DirectDraw, data objects) share: result codes, GUIDs and IUnknown.
// Interfaces are plain C++ abstract classes whose virtual functions keep the
// slot order of the system's interfaces. Plain data; any thread may use it.
#pragma once

#include <cstring>

#include "types.h"

typedef LONG HRESULT;

#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)

#define S_OK static_cast<HRESULT>(0)
#define S_FALSE static_cast<HRESULT>(1)
#define E_NOTIMPL static_cast<HRESULT>(0x80004001)
#define E_NOINTERFACE static_cast<HRESULT>(0x80004002)
#define E_POINTER static_cast<HRESULT>(0x80004003)
#define E_FAIL static_cast<HRESULT>(0x80004005)
#define E_OUTOFMEMORY static_cast<HRESULT>(0x8007000E)
#define E_INVALIDARG static_cast<HRESULT>(0x80070057)
#define CLASS_E_NOAGGREGATION static_cast<HRESULT>(0x80040110)
#define REGDB_E_CLASSNOTREG static_cast<HRESULT>(0x80040154)

typedef struct _GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
} GUID;
typedef GUID IID;
typedef GUID* LPGUID;
typedef const GUID* LPCGUID;
typedef const GUID& REFGUID;
typedef const IID& REFIID;

inline bool IsEqualGUID(REFGUID a, REFGUID b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }
inline bool operator==(REFGUID a, REFGUID b) { return IsEqualGUID(a, b); }
#define IsEqualIID(a, b) IsEqualGUID(a, b)

inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Reference counting: an object lives while its count is above zero;
// QueryInterface hands out one more reference of the asked interface.
class IUnknown {
 public:
  virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;  // only Release ends an object
};
typedef IUnknown* LPUNKNOWN;

// OLE for the calling thread. The layer's drag and drop and clipboard need
// no set-up, so these only count: the first call answers S_OK, later ones
// S_FALSE, as a thread that initialises twice is told.
TWLAPI HRESULT OleInitialize(LPVOID reserved);

// The task allocator: memory that crosses component boundaries, freed by
// whoever receives it. Null when no memory is left; CoTaskMemFree(NULL) is
// harmless. Any thread.
TWLAPI LPVOID CoTaskMemAlloc(SIZE_T size);
TWLAPI void CoTaskMemFree(LPVOID memory);
TWLAPI void OleUninitialize();

// COM for the calling thread: counted as OleInitialize counts.
TWLAPI HRESULT CoInitialize(LPVOID reserved);
TWLAPI void CoUninitialize();

// Makes an object of a class that a library of the layer provides
// ("quartz.dll"'s filter graph) and answers its interface `iid`.
// REGDB_E_CLASSNOTREG when no library provides the class (or a test hid
// it), CLASS_E_NOAGGREGATION for an outer object.
#define CLSCTX_INPROC_SERVER 0x1u
TWLAPI HRESULT CoCreateInstance(REFGUID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* object);

// The COM basics the layer's object interfaces share: result codes,
// interface ids and IUnknown. Interfaces are C++ abstract classes; an
// object lives until its last Release. Reference counts are thread-safe;
// everything else is the rule of each interface.
#pragma once

#include <cstring>

#include "types.h"

typedef LONG HRESULT;

#define S_OK static_cast<HRESULT>(0)
#define S_FALSE static_cast<HRESULT>(1)
#define E_NOTIMPL static_cast<HRESULT>(0x80004001)
#define E_NOINTERFACE static_cast<HRESULT>(0x80004002)
#define E_POINTER static_cast<HRESULT>(0x80004003)
#define E_FAIL static_cast<HRESULT>(0x80004005)
#define E_OUTOFMEMORY static_cast<HRESULT>(0x8007000E)
#define E_INVALIDARG static_cast<HRESULT>(0x80070057)
#define CLASS_E_NOAGGREGATION static_cast<HRESULT>(0x80040110)

#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)

typedef struct _GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
} GUID, IID, CLSID;
typedef GUID* LPGUID;
typedef const GUID* LPCGUID;
typedef const IID& REFIID;
typedef const GUID& REFGUID;

inline bool IsEqualGUID(REFGUID a, REFGUID b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }
#define IsEqualIID IsEqualGUID
inline bool operator==(REFGUID a, REFGUID b) { return IsEqualGUID(a, b); }

// {00000000-0000-0000-C000-000000000046}
inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct IUnknown {
  virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;  // objects go through Release
};
typedef IUnknown* LPUNKNOWN;

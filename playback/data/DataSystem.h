// CDataSystem: the process's owner of stream access beyond local files. It
// adds the stream providers of plug-ins to the file system, keeps the two
// session slots through which the file being played (slot 0) and the file
// being identified (slot 1) share one underlying stream per URL between
// successive openers, holds the proxy settings and the default connection
// time-out, and keeps both in the registry under the settings key
// ("ProxyData", "DefaultConnectionTimeout").
//
// Threading: plug-in threads open streams (OpenStream) and read the
// time-out while the user-interface thread binds, owns, aborts and closes
// the slots. Slot owners are read and written under the owner lock, which
// is left before a slot opens anything; the time-out has a lock of its own;
// the proxy database has its own lock. Loading and unloading providers,
// Init, Exit and the proxy start-up run on the user-interface thread.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/TypedObject.h"
#include "playback/data/MultiSessionStreamController.h"
#include "playback/proxy/ProxyDataBase.h"
#include "pluginhost/abi/PlugInAbi.h"

class CPlugInManager;
class CPlugInStreamProviderBase;
class CStream;

// The two session slots.
enum DataSessionSlot : DWORD {
  kPlayerSession = 0,      // the current or candidate player's file
  kIdentifierSession = 1,  // the file identifier's file
};
constexpr DWORD kDataSessionSlotCount = 2;

// Lets the other owners of network objects (players, file-object
// enumerator providers) register their proxy types, after the stream
// providers did.
using ProxyTypeRegistrar = std::function<void(CProxyDataBase& proxies)>;

class CDataSystem : public CTypedObject {
  TWL_DECLARE_CLASS(CDataSystem)
 public:
  static constexpr DWORD kDefaultConnectionTimeout = 30000;

  CDataSystem();
  CDataSystem(const CDataSystem&) = delete;
  CDataSystem& operator=(const CDataSystem&) = delete;
  // Takes still loaded providers out of the file system and deletes them.
  ~CDataSystem() override;

  // Reads "DefaultConnectionTimeout"; 30000 when it is missing or not a
  // four-byte REG_DWORD.
  void LoadOptions();

  // Starts empty (Exit first), then loads the stream providers of every
  // loaded plug-in, in plug-in order.
  void Init(CPlugInManager& plugIns);
  // Loads the stream providers of the plug-ins from `firstPlugIn` on (those
  // found after start-up).
  void InitNewStreamProviders(CPlugInManager& plugIns, INT firstPlugIn);
  // Loads the stream providers of one plug-in.
  void InitStreamProviders(CPlugInManager& plugIns, INT plugIn);
  // Keeps an initialised provider and makes its URLs open through the file
  // system; the data system owns it from now on.
  void AddStreamProvider(CPlugInStreamProviderBase* provider);
  // Closes both slots softly, takes every provider out of the file system,
  // lets it exit and deletes it.
  void Exit();
  // After the display was lost: every provider restores its surfaces; each
  // failure is logged with the provider's name. False when any failed.
  bool RestoreStreamProviderSurfaces();

  // The session slots (slot: a DataSessionSlot; other numbers are ignored,
  // answer false or kNoSession).
  void SetSessionUrl(DWORD slot, const char* url);
  void CloseSession(DWORD slot, bool hard);
  bool IsSessionOn(DWORD slot, const char* url);
  void AbortSession(DWORD slot);
  void DetachSession(DWORD slot);
  ULONGLONG GetSessionProgress(DWORD slot);
  // Which object opens its streams through the slot: the handle that the
  // host API's stream calls carry. Null owns nothing.
  void SetSessionOwner(DWORD slot, PLUGIN_HANDLE owner);
  // A stream for the caller: through the first slot (0, then 1) the
  // caller's handle owns, else straight from the file system. The caller
  // closes it. Throws CStreamError (6 without a URL, 19 while the caller's
  // slot is aborted) and what the file system throws.
  CStream* OpenStream(const char* url, DWORD flags, DWORD forbidden, PLUGIN_HANDLE caller);
  // Closes hard every slot bound to the URL (a player takes the file for
  // itself).
  void ReleaseSessionsOnUrl(const char* url);

  // The proxy start-up, under the database's lock: empties it, lets every
  // stream provider and then `others` register their proxy types, then
  // loads the user's settings from "ProxyData" (when stored). Registry and
  // stream errors are thrown as error objects; a stored value that cannot
  // be read leaves the registrations and what was loaded before the fault.
  void InitProxyDataBase(const ProxyTypeRegistrar& others = nullptr);
  // Stores the database as "ProxyData"; errors are thrown as error objects.
  void SaveProxyData();
  CProxyDataBase& GetProxyDataBase() { return m_ProxyDataBase; }

  DWORD GetDefaultConnectionTimeout();
  // Stores the time-out and writes "DefaultConnectionTimeout"; false with
  // the reason in the thread error when the registry refuses it (the new
  // value holds for this run all the same).
  bool SetDefaultConnectionTimeout(DWORD milliseconds);

 private:
  CMultiSessionStreamController* Slot(DWORD slot);
  void LoadProxyData();

  std::vector<CPlugInStreamProviderBase*> m_Providers;
  CMultiSessionStreamController m_Slots[kDataSessionSlotCount];
  PLUGIN_HANDLE m_Owners[kDataSessionSlotCount] = {nullptr, nullptr};
  CProxyDataBase m_ProxyDataBase;
  DWORD m_DefaultConnectionTimeout = kDefaultConnectionTimeout;
  CriticalSection m_TimeoutLock;
  CriticalSection m_OwnerLock;  // also held while slots are closed by URL
};

// The program's one data system.
CDataSystem& GetDataSystem();

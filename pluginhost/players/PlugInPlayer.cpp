#include "pluginhost/players/PlugInPlayer.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "foundation/errors/ThreadErrorState.h"
#include "pluginhost/players/HandedOutLists.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CPlugInPlayer, CPlayer)
TWL_IMPLEMENT_CREATABLE_CLASS(CPlugInPlayer2, CPlayer)

namespace {

constexpr DWORD kFirstCurrentApi = 0x10001;

// Players of the first releases, ranked by their names.
struct LegacyRank {
  const char* name;
  DWORD level;
  DWORD group;
  DWORD priority;
};
constexpr LegacyRank kLegacyRanks[] = {
    {"Layrel", 1, 1, 192},
    {"Trakkel player", 1, 1, 192},
    {"Sondrel player", 1, 1, 192},
    {"Devicor player", 0, 0, 160},
};
constexpr LegacyRank kOtherLegacyRank = {nullptr, 2, 3, 128};

// The slots every player must fill, as their names; the table's slot
// pointers are compared with null in order.
constexpr const char* kMandatorySlots[] = {"PLAYER_CanPlay", "PLAYER_Play",   "PLAYER_Stop",     "PLAYER_Pause",
                                           "PLAYER_Resume",  "PLAYER_Seek",   "PLAYER_SetVolume", "PLAYER_Slot19"};

template <class Table>
bool HasMandatorySlots(const Table* table) {
  if (!table) {
    SetMissingObjectFunctionError("OBJECT_GetVersion");
    return false;
  }
  const void* const slots[] = {reinterpret_cast<const void*>(table->PLAYER_CanPlay),
                               reinterpret_cast<const void*>(table->PLAYER_Play),
                               reinterpret_cast<const void*>(table->PLAYER_Stop),
                               reinterpret_cast<const void*>(table->PLAYER_Pause),
                               reinterpret_cast<const void*>(table->PLAYER_Resume),
                               reinterpret_cast<const void*>(table->PLAYER_Seek),
                               reinterpret_cast<const void*>(table->PLAYER_SetVolume),
                               reinterpret_cast<const void*>(table->PLAYER_Slot19)};
  for (size_t i = 0; i < std::size(slots); ++i) {
    if (!slots[i]) {
      SetMissingObjectFunctionError(kMandatorySlots[i]);
      return false;
    }
  }
  return true;
}

// An operation of a wrapper whose object is gone: refused, not followed.
bool FailUnloaded() {
  SetThreadError(THREAD_ERROR_MISC, MISC_ERROR_INVALID_PARAM, GetMiscErrorText(MISC_ERROR_INVALID_PARAM));
  return false;
}

}  // namespace

void ApplyLegacyCanPlayRule(const PlugInVersionInfo& version, const char* playerName, CanPlayAnswer& answer) {
  if (version.apiVersion >= kFirstCurrentApi) {
    answer.legacyLevel = 0;
    answer.legacyGroup = 0;
    answer.priority = std::min<DWORD>(answer.priority, 255);
    return;
  }
  const LegacyRank* rank = &kOtherLegacyRank;
  for (const LegacyRank& known : kLegacyRanks) {
    if (playerName && std::strcmp(known.name, playerName) == 0) rank = &known;
  }
  answer.legacyLevel = rank->level;
  answer.legacyGroup = rank->group;
  answer.priority = rank->priority;
}

// --- version 1 ---

bool CPlugInPlayer::Init(const void* table, const char* name, const char* plugInName) {
  m_Head.Unload();
  if (!HasMandatorySlots(static_cast<const PlayerInterface*>(table))) return false;
  return m_Head.Init(table, name, plugInName);
}

int CPlugInPlayer::OnViewerEvent(DWORD event, uintptr_t argument, uintptr_t data) {
  if (!m_Head.IsLoaded() || !Table().PLAYER_Command) return 1;
  return Table().PLAYER_Command(event, argument, data);
}

bool CPlugInPlayer::SetDisplayMode(int mode) {
  if (!m_Head.IsLoaded() || !Table().PLAYER_SetDisplayMode) return false;
  return Table().PLAYER_SetDisplayMode(mode) != 0;
}

bool CPlugInPlayer::RegisterFileTypes(CFileExtensionEnum& extensions) {
  if (!m_Head.IsLoaded()) return FailUnloaded();
  if (!Table().PLAYER_RegisterFileTypes) return true;
  CHandedOutExtensionList list(extensions);
  return Table().PLAYER_RegisterFileTypes(list.GetHandle()) != 0;
}

bool CPlugInPlayer::RegisterProxyTypes(CProxyDataBase& proxies) {
  if (!m_Head.IsLoaded()) return FailUnloaded();
  if (!Table().PLAYER_RegisterProxyTypes) return true;
  return Table().PLAYER_RegisterProxyTypes(reinterpret_cast<HOST_PROXYTYPELIST>(&proxies)) != 0;
}

void CPlugInPlayer::CanPlay(const char* url, CanPlayAnswer& answer) {
  if (!m_Head.IsLoaded()) return;
  Table().PLAYER_CanPlay(url, &answer);
  ApplyLegacyCanPlayRule(m_Head.GetVersion(), m_Head.GetName(), answer);
}

bool CPlugInPlayer::Play(const char* url) { return m_Head.IsLoaded() ? Table().PLAYER_Play(url) != 0 : FailUnloaded(); }
bool CPlugInPlayer::Stop() { return m_Head.IsLoaded() ? Table().PLAYER_Stop() != 0 : FailUnloaded(); }
bool CPlugInPlayer::Pause() { return m_Head.IsLoaded() ? Table().PLAYER_Pause() != 0 : FailUnloaded(); }
bool CPlugInPlayer::Resume() { return m_Head.IsLoaded() ? Table().PLAYER_Resume() != 0 : FailUnloaded(); }

bool CPlugInPlayer::Seek(DWORD milliseconds) {
  return m_Head.IsLoaded() ? Table().PLAYER_Seek(milliseconds) != 0 : FailUnloaded();
}

int CPlugInPlayer::SetVolume(int volume) { return m_Head.IsLoaded() ? Table().PLAYER_SetVolume(volume) : 0; }

void CPlugInPlayer::ApplyThreadPriority(int priority) {
  if (m_Head.IsLoaded()) Table().PLAYER_Slot19(static_cast<uintptr_t>(priority));
}

// --- version 2 ---

bool CPlugInPlayer2::Init(const void* table, PLUGIN_CONTEXT context, const char* name, const char* key,
                          const char* plugInName) {
  m_Head.Unload();
  if (!HasMandatorySlots(static_cast<const PlayerInterface2*>(table))) return false;
  return m_Head.Init2(table, context, name, key, plugInName);
}

int CPlugInPlayer2::OnViewerEvent(DWORD event, uintptr_t argument, uintptr_t data) {
  if (!m_Head.IsLoaded() || !Table().PLAYER_Command) return 1;
  return Table().PLAYER_Command(Context(), event, argument, data);
}

bool CPlugInPlayer2::SetDisplayMode(int mode) {
  if (!m_Head.IsLoaded() || !Table().PLAYER_SetDisplayMode) return false;
  return Table().PLAYER_SetDisplayMode(Context(), mode) != 0;
}

bool CPlugInPlayer2::RegisterFileTypes(CFileExtensionEnum& extensions) {
  if (!m_Head.IsLoaded()) return FailUnloaded();
  if (!Table().PLAYER_RegisterFileTypes) return true;
  CHandedOutExtensionList list(extensions);
  return Table().PLAYER_RegisterFileTypes(Context(), list.GetHandle()) != 0;
}

bool CPlugInPlayer2::RegisterProxyTypes(CProxyDataBase& proxies) {
  if (!m_Head.IsLoaded()) return FailUnloaded();
  if (!Table().PLAYER_RegisterProxyTypes) return true;
  return Table().PLAYER_RegisterProxyTypes(Context(), reinterpret_cast<HOST_PROXYTYPELIST>(&proxies)) != 0;
}

void CPlugInPlayer2::CanPlay(const char* url, CanPlayAnswer& answer) {
  if (!m_Head.IsLoaded()) return;
  Table().PLAYER_CanPlay(Context(), url, &answer);
  ApplyLegacyCanPlayRule(m_Head.GetVersion(), m_Head.GetName(), answer);
}

bool CPlugInPlayer2::Play(const char* url) {
  return m_Head.IsLoaded() ? Table().PLAYER_Play(Context(), url) != 0 : FailUnloaded();
}
bool CPlugInPlayer2::Stop() { return m_Head.IsLoaded() ? Table().PLAYER_Stop(Context()) != 0 : FailUnloaded(); }
bool CPlugInPlayer2::Pause() { return m_Head.IsLoaded() ? Table().PLAYER_Pause(Context()) != 0 : FailUnloaded(); }
bool CPlugInPlayer2::Resume() { return m_Head.IsLoaded() ? Table().PLAYER_Resume(Context()) != 0 : FailUnloaded(); }

bool CPlugInPlayer2::Seek(DWORD milliseconds) {
  return m_Head.IsLoaded() ? Table().PLAYER_Seek(Context(), milliseconds) != 0 : FailUnloaded();
}

int CPlugInPlayer2::SetVolume(int volume) {
  return m_Head.IsLoaded() ? Table().PLAYER_SetVolume(Context(), volume) : 0;
}

void CPlugInPlayer2::ApplyThreadPriority(int priority) {
  if (m_Head.IsLoaded()) Table().PLAYER_Slot19(Context(), static_cast<uintptr_t>(priority));
}

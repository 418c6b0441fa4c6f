#include "pluginhost/players/PlugInPlayer.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "foundation/errors/ThreadErrorState.h"
#include "pluginhost/handles/HandedOutProxyList.h"
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

// The slots every player must fill.
template <class Table>
bool HasMandatoryPlayerSlots(const Table* table) {
  return HasMandatorySlots(table, {TWL_MANDATORY_SLOT(table, PLAYER_CanPlay), TWL_MANDATORY_SLOT(table, PLAYER_Play),
                                   TWL_MANDATORY_SLOT(table, PLAYER_Stop), TWL_MANDATORY_SLOT(table, PLAYER_Pause),
                                   TWL_MANDATORY_SLOT(table, PLAYER_Resume), TWL_MANDATORY_SLOT(table, PLAYER_Seek),
                                   TWL_MANDATORY_SLOT(table, PLAYER_SetVolume),
                                   TWL_MANDATORY_SLOT(table, PLAYER_Slot19)});
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

template <int Version>
bool TPlugInPlayer<Version>::InitPlayer(const void* table, PLUGIN_CONTEXT context, const char* name, const char* key,
                                        const char* plugInName) {
  this->Unload();
  if (!HasMandatoryPlayerSlots(static_cast<const Table*>(table))) return false;
  return this->InitHead(table, context, name, key, plugInName);
}

template <int Version>
int TPlugInPlayer<Version>::OnViewerEvent(DWORD event, uintptr_t argument, uintptr_t data) {
  if (!this->IsLoaded() || !this->Has(&Table::PLAYER_Command)) return 1;
  return this->Call(&Table::PLAYER_Command, event, argument, data);
}

template <int Version>
bool TPlugInPlayer<Version>::SetDisplayMode(int mode) {
  if (!this->IsLoaded() || !this->Has(&Table::PLAYER_SetDisplayMode)) return false;
  return this->Call(&Table::PLAYER_SetDisplayMode, mode) != 0;
}

template <int Version>
bool TPlugInPlayer<Version>::RegisterFileTypes(CFileExtensionEnum& extensions) {
  if (!this->IsLoaded()) return FailUnloadedObject();
  if (!this->Has(&Table::PLAYER_RegisterFileTypes)) return true;
  CHandedOutExtensionList list(extensions);
  return this->Call(&Table::PLAYER_RegisterFileTypes, list.GetHandle()) != 0;
}

template <int Version>
bool TPlugInPlayer<Version>::RegisterProxyTypes(CProxyDataBase& proxies) {
  if (!this->IsLoaded()) return FailUnloadedObject();
  if (!this->Has(&Table::PLAYER_RegisterProxyTypes)) return true;
  CHandedOutProxyList list(proxies);
  return this->Call(&Table::PLAYER_RegisterProxyTypes, list.GetHandle()) != 0;
}

template <int Version>
void TPlugInPlayer<Version>::CanPlay(const char* url, CanPlayAnswer& answer) {
  if (!this->IsLoaded()) return;
  this->Call(&Table::PLAYER_CanPlay, url, &answer);
  ApplyLegacyCanPlayRule(this->Head().GetVersion(), this->Head().GetName(), answer);
}

template <int Version>
bool TPlugInPlayer<Version>::Play(const char* url) {
  return this->IsLoaded() ? this->Call(&Table::PLAYER_Play, url) != 0 : FailUnloadedObject();
}

template <int Version>
bool TPlugInPlayer<Version>::Stop() {
  return this->IsLoaded() ? this->Call(&Table::PLAYER_Stop) != 0 : FailUnloadedObject();
}

template <int Version>
bool TPlugInPlayer<Version>::Pause() {
  return this->IsLoaded() ? this->Call(&Table::PLAYER_Pause) != 0 : FailUnloadedObject();
}

template <int Version>
bool TPlugInPlayer<Version>::Resume() {
  return this->IsLoaded() ? this->Call(&Table::PLAYER_Resume) != 0 : FailUnloadedObject();
}

template <int Version>
bool TPlugInPlayer<Version>::Seek(DWORD milliseconds) {
  return this->IsLoaded() ? this->Call(&Table::PLAYER_Seek, milliseconds) != 0 : FailUnloadedObject();
}

template <int Version>
int TPlugInPlayer<Version>::SetVolume(int volume) {
  return this->IsLoaded() ? this->Call(&Table::PLAYER_SetVolume, volume) : 0;
}

template <int Version>
void TPlugInPlayer<Version>::ApplyThreadPriority(int priority) {
  if (this->IsLoaded()) this->Call(&Table::PLAYER_Slot19, static_cast<uintptr_t>(priority));
}

template class TPlugInPlayer<1>;
template class TPlugInPlayer<2>;

#include "plugins/pluginsdk/ObjectTables.h"

#include "plugins/pluginsdk/FileFilterObject.h"
#include "plugins/pluginsdk/FileIdentifierObject.h"
#include "plugins/pluginsdk/HostErrors.h"
#include "plugins/pluginsdk/OstrellMain.h"
#include "plugins/pluginsdk/PlayerObject.h"

namespace pluginsdk {
namespace {

// The context is the object pointer FindObject handed out; its table
// names its kind.
template <class Object>
Object& ObjectOf(PLUGIN_CONTEXT context) {
  return static_cast<Object&>(*reinterpret_cast<PlugInObject*>(context));
}

template <class Object = PlugInObject, class Result, class Operation>
Result Call(PLUGIN_CONTEXT context, Result failure, Operation operation) {
  return CatchingErrors(GetMainHost(), failure, [&] { return operation(ObjectOf<Object>(context)); });
}

template <class Object = PlugInObject, class Operation>
BOOL CallBool(PLUGIN_CONTEXT context, Operation operation) {
  return Call<Object>(context, FALSE, [&](Object& object) { return operation(object) ? TRUE : FALSE; });
}

template <class Object = PlugInObject, class Operation>
void CallVoid(PLUGIN_CONTEXT context, Operation operation) {
  Call<Object>(context, 0, [&](Object& object) {
    operation(object);
    return 0;
  });
}

// --- the head, common to every kind

void ObjectGetVersion(PLUGIN_CONTEXT context, PlugInVersionInfo* info) {
  CallVoid(context, [&](PlugInObject& object) { object.GetVersion(info); });
}
char* ObjectGetName(PLUGIN_CONTEXT context) {
  return Call(context, static_cast<char*>(nullptr), [](PlugInObject& object) { return object.GetName(); });
}
char* ObjectGetId(PLUGIN_CONTEXT context) {
  return Call(context, static_cast<char*>(nullptr), [](PlugInObject& object) { return object.GetId(); });
}
BOOL ObjectInit(PLUGIN_CONTEXT context, PLUGIN_HANDLE caller) {
  return CallBool(context, [&](PlugInObject& object) { return object.Init(caller); });
}
void ObjectExit(PLUGIN_CONTEXT context) {
  CallVoid(context, [](PlugInObject& object) { object.Exit(); });
}
char* ObjectGetDescription(PLUGIN_CONTEXT context) {
  return Call(context, static_cast<char*>(nullptr), [](PlugInObject& object) { return object.GetDescription(); });
}
int32_t ObjectGetIconIndex(PLUGIN_CONTEXT context) {
  return Call(context, int32_t{-1}, [](PlugInObject& object) { return object.GetIconIndex(); });
}
BOOL ObjectHasConfiguration(PLUGIN_CONTEXT context) {
  return CallBool(context, [](PlugInObject& object) { return object.HasConfiguration(); });
}
BOOL ObjectConfigure(PLUGIN_CONTEXT context, HWND owner) {
  return CallBool(context, [&](PlugInObject& object) { return object.Configure(owner); });
}
BOOL ObjectHasInfo(PLUGIN_CONTEXT context) {
  return CallBool(context, [](PlugInObject& object) { return object.HasInfo(); });
}
BOOL ObjectShowInfo(PLUGIN_CONTEXT context, HWND owner) {
  return CallBool(context, [&](PlugInObject& object) { return object.ShowInfo(owner); });
}
void ObjectBeginSkinChange(PLUGIN_CONTEXT context) {
  CallVoid(context, [](PlugInObject& object) { object.BeginSkinChange(); });
}
void ObjectEndSkinChange(PLUGIN_CONTEXT context) {
  CallVoid(context, [](PlugInObject& object) { object.EndSkinChange(); });
}
BOOL ObjectRestoreSurfaces(PLUGIN_CONTEXT context) {
  return CallBool(context, [](PlugInObject& object) { return object.RestoreSurfaces(); });
}

constexpr PlugInObjectInterface2 kHead = {
    &ObjectGetVersion,       &ObjectGetName,      &ObjectGetId,           &ObjectInit,
    &ObjectExit,             &ObjectGetDescription, &ObjectGetIconIndex,  &ObjectHasConfiguration,
    &ObjectConfigure,        &ObjectHasInfo,      &ObjectShowInfo,        &ObjectBeginSkinChange,
    &ObjectEndSkinChange,    &ObjectRestoreSurfaces,
};

// --- players

BOOL PlayerRegisterFileTypes(PLUGIN_CONTEXT context, HOST_FILEEXTENSIONLIST list) {
  return CallBool<PlayerObject>(context, [&](PlayerObject& player) { return player.RegisterFileTypes(list); });
}
BOOL PlayerRegisterProxyTypes(PLUGIN_CONTEXT context, HOST_PROXYTYPELIST proxies) {
  return CallBool<PlayerObject>(context, [&](PlayerObject& player) { return player.RegisterProxyTypes(proxies); });
}
BOOL PlayerCanPlay(PLUGIN_CONTEXT context, const char* url, CanPlayAnswer* answer) {
  return Call<PlayerObject>(context, FALSE, [&](PlayerObject& player) { return player.CanPlay(url, answer); });
}
BOOL PlayerPlay(PLUGIN_CONTEXT context, const char* url) {
  return CallBool<PlayerObject>(context, [&](PlayerObject& player) { return player.Play(url); });
}
BOOL PlayerStop(PLUGIN_CONTEXT context) {
  return CallBool<PlayerObject>(context, [](PlayerObject& player) { return player.Stop(); });
}
BOOL PlayerPause(PLUGIN_CONTEXT context) {
  return CallBool<PlayerObject>(context, [](PlayerObject& player) { return player.Pause(); });
}
BOOL PlayerResume(PLUGIN_CONTEXT context) {
  return CallBool<PlayerObject>(context, [](PlayerObject& player) { return player.Resume(); });
}
BOOL PlayerSeek(PLUGIN_CONTEXT context, DWORD milliseconds) {
  return CallBool<PlayerObject>(context, [&](PlayerObject& player) { return player.Seek(milliseconds); });
}
int32_t PlayerSetVolume(PLUGIN_CONTEXT context, int32_t volume) {
  return Call<PlayerObject>(context, int32_t{0}, [&](PlayerObject& player) { return player.SetVolume(volume); });
}
uintptr_t PlayerSlot19(PLUGIN_CONTEXT context, uintptr_t word) {
  return Call<PlayerObject>(context, uintptr_t{0}, [&](PlayerObject& player) { return player.Slot19(word); });
}
int32_t PlayerSetDisplayMode(PLUGIN_CONTEXT context, int32_t mode) {
  return Call<PlayerObject>(context, int32_t{0}, [&](PlayerObject& player) { return player.SetDisplayMode(mode); });
}
int32_t PlayerCommand(PLUGIN_CONTEXT context, DWORD event, uintptr_t argument, uintptr_t data) {
  return CallBool<PlayerObject>(context,
                                [&](PlayerObject& player) { return player.Command(event, argument, data); });
}

// --- identifiers and filters

BOOL IdentifierIdentify(PLUGIN_CONTEXT context, const char* url) {
  return CallBool<FileIdentifierObject>(context,
                                        [&](FileIdentifierObject& identifier) { return identifier.Identify(url); });
}

BOOL FilterBuildFilter(PLUGIN_CONTEXT context, HOST_FILEFILTERLIST list) {
  return CallBool<FileFilterObject>(context, [&](FileFilterObject& filter) { return filter.BuildFilter(list); });
}

BOOL FilterTestNames(PLUGIN_CONTEXT context, int32_t patternCount, const FILEFILTER_DESCRIPTION* patterns,
                     int32_t nameCount, const char* const* names, DWORD* results) {
  return CallBool<FileFilterObject>(context, [&](FileFilterObject& filter) {
    return filter.TestNames(patternCount, patterns, nameCount, names, results);
  });
}

}  // namespace

const PlayerInterface2 kPlayerTable = {
    kHead,          &PlayerRegisterFileTypes, &PlayerRegisterProxyTypes, &PlayerCanPlay,
    &PlayerPlay,    &PlayerStop,              &PlayerPause,              &PlayerResume,
    &PlayerSeek,    &PlayerSetVolume,         &PlayerSlot19,             &PlayerSetDisplayMode,
    &PlayerCommand,
};

const FileIdentifierInterface2 kFileIdentifierTable = {kHead, &IdentifierIdentify};

const FileFilterInterface2 kFileFilterTable = {kHead, &FilterBuildFilter, &FilterTestNames};

}  // namespace pluginsdk

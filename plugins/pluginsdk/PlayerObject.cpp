#include "plugins/pluginsdk/PlayerObject.h"

#include "plugins/pluginsdk/ObjectTables.h"

namespace pluginsdk {
namespace {

constexpr const char* kPausingText = "Pausing is not supported by this player plugin.";
constexpr const char* kSeekingText = "Seeking is not supported by this player plugin.";

}  // namespace

const void* PlayerObject::GetInterface() const { return &kPlayerTable; }

bool PlayerObject::RegisterFileTypes(HOST_FILEEXTENSIONLIST) { return true; }
bool PlayerObject::RegisterProxyTypes(HOST_PROXYTYPELIST) { return true; }

BOOL PlayerObject::CanPlay(const char*, CanPlayAnswer* answer) {
  if (answer) answer->verdict = 0;
  return TRUE;
}

bool PlayerObject::Play(const char*) {
  Host().HOST_SetMiscError(HOST_MISC_UNSUPPORTED_FILE_FORMAT);
  return false;
}

bool PlayerObject::Stop() { return true; }

bool PlayerObject::Pause() {
  Host().HOST_SetErrorText(kPausingText);
  return false;
}

bool PlayerObject::Resume() {
  Host().HOST_SetErrorText(kPausingText);
  return false;
}

bool PlayerObject::Seek(DWORD) {
  Host().HOST_SetErrorText(kSeekingText);
  return false;
}

int32_t PlayerObject::SetVolume(int32_t) { return 0; }
uintptr_t PlayerObject::Slot19(uintptr_t) { return 0; }
int32_t PlayerObject::SetDisplayMode(int32_t) { return 0; }
bool PlayerObject::Command(DWORD, uintptr_t, uintptr_t) { return true; }

}  // namespace pluginsdk

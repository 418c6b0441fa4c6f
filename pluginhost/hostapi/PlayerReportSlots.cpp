// Host API slots through which players report on their playback and ask
// about it: visualization, samples, the promise to play, the end, position
// and length, the volume, the thread priority, the sound settings, the
// entry being played, and the file types a player plays. Every report is
// dropped, without an error, unless it comes from the current player.
#include <cstring>

#include "playback/player/FileExtensionEnum.h"
#include "playback/sound/SoundOptions.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/hostapi/HostSlots.h"
#include "pluginhost/hostapi/SlotErrors.h"
#include "pluginhost/players/HandedOutLists.h"
#include "pluginhost/players/PlayerServices.h"

namespace hostapi {
namespace {

constexpr DWORD kPlayerThreadPriority = 15;  // THREAD_PRIORITY_TIME_CRITICAL

// The player services when the report comes from the current player;
// null otherwise.
CPlayerServices* ForCurrent(PLUGIN_HANDLE player) {
  CPlayerServices& services = GetPlayerServices();
  return player && services.IsCurrentPlayer(player) ? &services : nullptr;
}

}  // namespace

void HOST_PauseVisualization(PLUGIN_HANDLE player) {
  if (CPlayerServices* services = ForCurrent(player)) services->PauseVisualization(player);
}

void HOST_ResumeVisualization(PLUGIN_HANDLE player) {
  if (CPlayerServices* services = ForCurrent(player)) services->ResumeVisualization(player);
}

void HOST_StopVisualization(PLUGIN_HANDLE player) {
  if (CPlayerServices* services = ForCurrent(player)) services->StopVisualization(player);
}

void HOST_PlayerFeedSamples(const void* samples, DWORD bytes, DWORD playTime, DWORD frequency, DWORD bitsPerSample,
                            DWORD channels, PLUGIN_HANDLE player) {
  if (!samples && bytes != 0) return;
  if (CPlayerServices* services = ForCurrent(player)) {
    services->FeedVisualization(samples, bytes, playTime, frequency, bitsPerSample, channels, player);
  }
}

void HOST_PlayerWillPlay(PLUGIN_HANDLE player) {
  if (CPlayerServices* services = ForCurrent(player)) services->NotifyStickToFile(player);
}

void HOST_PlayerFinished(DWORD result, PLUGIN_HANDLE player) {
  if (CPlayerServices* services = ForCurrent(player)) services->NotifyPlaybackFinished(result, player);
}

void HOST_PlayerSetPosition(DWORD milliseconds, PLUGIN_HANDLE player) {
  if (CPlayerServices* services = ForCurrent(player)) services->SetPosition(milliseconds, player);
}

void HOST_PlayerSetDuration(DWORD milliseconds, PLUGIN_HANDLE player) {
  if (CPlayerServices* services = ForCurrent(player)) services->SetLength(milliseconds, player);
}

DWORD HOST_GetVolume() { return static_cast<DWORD>(GetPlayerServices().GetEffectiveVolume()); }

DWORD HOST_GetPlayerThreadPriority() { return kPlayerThreadPriority; }

void HOST_PlayerSetSampleFeed(BOOL feedsItself, DWORD flags, PLUGIN_HANDLE player) {
  if (CPlayerServices* services = ForCurrent(player)) services->SetSampleFeed(feedsItself != FALSE, flags, player);
}

// Without memory for the device's block the record stays as it was.
BOOL HOST_GetSoundSettings(HostSoundSettings* settings, PLUGIN_HANDLE caller) {
  if (!settings || !caller) return FailInvalidParameter();
  return RunSlot(FALSE, [&] {
    SoundOptions options;
    GetPlayerServices().GetSoundOptions(options);
    GUID* device = nullptr;
    if (options.GetDevice()) {
      device = static_cast<GUID*>(HostAlloc(sizeof(GUID)));
      if (!device) {
        FailWithMiscError(MISC_ERROR_OUT_OF_MEMORY);
        return FALSE;
      }
      std::memcpy(device, options.GetDevice(), sizeof(GUID));
    }
    settings->device = device;
    settings->frequency = options.frequency;
    settings->bitsPerSample = options.bitsPerSample;
    settings->channels = options.channels;
    settings->cooperativeLevel = options.cooperativeLevel;
    return TRUE;
  });
}

// The host's record: URL, title, then the display name.
BOOL HOST_GetCurrentEntry(HostEntryInfo* info) {
  if (!info) return FailInvalidParameter();
  return RunSlot(FALSE, [&] {
    const CurrentEntryInfo entry = GetPlayerServices().GetCurrentEntryInfo();
    HostEntryInfo filled{};
    const bool copied = (entry.url.IsEmpty() || (filled.url = HostAllocString(entry.url))) &&
                        (entry.title.IsEmpty() || (filled.title = HostAllocString(entry.title))) &&
                        (entry.displayName.IsEmpty() || (filled.displayName = HostAllocString(entry.displayName)));
    if (!copied) {
      HOST_FreeEntryInfo(&filled);
      FailWithMiscError(MISC_ERROR_OUT_OF_MEMORY);
      return FALSE;
    }
    filled.position = entry.position;
    filled.length = entry.length;
    *info = filled;
    return TRUE;
  });
}

void HOST_FreeEntryInfo(HostEntryInfo* info) {
  if (!info) return;
  HostFree(info->url);
  HostFree(info->title);
  HostFree(info->displayName);
  *info = HostEntryInfo{};
}

BOOL HOST_AddFileExtension(HOST_FILEEXTENSIONLIST list, const char* extension, const char* description,
                           DWORD fileType, PLUGIN_HANDLE caller) {
  if (!caller || !extension) return FailInvalidParameter();
  CFileExtensionEnum* extensions = FindHandedOutExtensionList(list);
  if (!extensions) return FailInvalidParameter();
  return RunSlot(FALSE, [&] {
    extensions->Add(extension, description, fileType);
    return TRUE;
  });
}

}  // namespace hostapi

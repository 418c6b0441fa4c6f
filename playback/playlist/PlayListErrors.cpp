#include "playback/playlist/PlayListErrors.h"

#include "foundation/appcore/ProductName.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Placeholder.h"

namespace {

CStr Caption() { return LocalText("PlayListError.Caption", "PlayList Error"); }

CStr VersionText(DWORD version) {
  return CStr::Format("%d.%02d", static_cast<int>(version >> 16), static_cast<int>(version & 0xFFFF));
}

}  // namespace

void ThrowCorruptedPlayListError() {
  ThrowError<CError>(Caption(), LocalText("PlayListError.Corrupted", "The file is not a valid playlist"));
}

void ThrowNewerPlayListVersionError(DWORD minimumVersion, DWORD playerVersion) {
  const CStr text = LocalText("PlayListError.NewerVersionRequired",
                              "The PlayList was created for a newer version of %PLAYER% and cannot be read by this "
                              "version (this version: %PLAYERVERSION%, minimum version required: %MINVERSION%");
  ThrowError<CError>(Caption(), FillPlaceholders(text, {{"%PLAYER%", kProductName},
                                                        {"%PLAYERVERSION%", VersionText(playerVersion)},
                                                        {"%MINVERSION%", VersionText(minimumVersion)}}));
}

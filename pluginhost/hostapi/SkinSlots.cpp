// The current skin as plug-ins draw with it: its 33 colours, as the skin
// gives them and as display pixels, and its bitmap fonts as writers held
// under the display lock. Skin 0 is the main skin, skin 1 the viewer's;
// the viewer window draws with the main skin's colours and fonts, so both
// answer from the main skin. Indices 30 to 32 are the viewer's own colours.
#include "display/skinrender/DDSkin.h"
#include "display/skinrender/DDSkinColorSet.h"
#include "display/skinrender/DDSkinFontSet.h"
#include "display/skinrender/DDWriter.h"
#include "display/state/DisplayLock.h"
#include "pluginhost/hostapi/DisplaySlotSupport.h"
#include "pluginhost/hostapi/HostSlots.h"

namespace hostapi {

namespace {

constexpr DWORD kMainSkin = 0;
constexpr DWORD kViewerSkin = 1;
constexpr DWORD kLastWriterIndex = 6;

const CDDWriter* WriterOf(HOST_WRITER writer) { return reinterpret_cast<const CDDWriter*>(writer); }

// Writers' blits keep the glyph backgrounds transparent and wait.
constexpr DWORD kWriterBlitFlags = DDBLT_WAIT | DDBLT_KEYSRC;
constexpr DWORD kEffectsSize = 100;

bool IsSkinSelector(DWORD skin) { return skin == kMainSkin || skin == kViewerSkin; }

// The colour set of a skin; null while none is made. Under the lock.
const CDDSkinColorSet* ColorSetOf(DWORD skin) {
  if (!IsSkinSelector(skin)) return nullptr;
  const CDDSkin* drawable = GetDrawableSkin();
  return drawable && drawable->GetColorSet().IsCreated() ? &drawable->GetColorSet() : nullptr;
}

// The viewer's colours 30-32 come from the viewer skin.
DWORD SkinOfColor(int32_t index) { return index >= 30 ? kViewerSkin : kMainSkin; }

DWORD ColorEntry(DWORD skin, int32_t index) {
  DisplayLockScope lock;
  const CDDSkinColorSet* colors = ColorSetOf(skin);
  return colors ? colors->GetSourceColor(index) : 0;
}

DWORD ColorPixel(DWORD skin, int32_t index) {
  DisplayLockScope lock;
  const CDDSkinColorSet* colors = ColorSetOf(skin);
  return colors ? colors->GetColor(index) : 0;
}

// Stores the writer and keeps the display lock, or stores null and
// leaves the lock released with the reason in the thread error.
BOOL TakeWriter(DWORD skin, DWORD index, HOST_WRITER* writer) {
  if (!writer) {
    HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
    return FALSE;
  }
  *writer = nullptr;
  if (!IsSkinSelector(skin) || index > kLastWriterIndex) {
    HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
    return FALSE;
  }
  CDisplayLock::Enter();
  const CDDSkin* drawable = GetDrawableSkin();
  const CDDSkinFontSet* fonts = drawable && drawable->GetFontSet().IsCreated() ? &drawable->GetFontSet() : nullptr;
  if (CDDWriter* found = fonts ? fonts->GetFont(static_cast<int>(index)) : nullptr) {
    *writer = reinterpret_cast<HOST_WRITER>(found);
    return TRUE;  // the caller gives the lock back with the writer
  }
  SetDisplayUnavailableError("GetWriter.Unavailable", "Writer not available (did another app switch to full-screen mode?)");
  CDisplayLock::Leave();
  return FALSE;
}

void GiveWriterBack() {
  if (CDisplayLock::GetDepth() > 0) CDisplayLock::Leave();
}

}  // namespace

DWORD HOST_GetSkinColorEntry(int32_t index) { return ColorEntry(SkinOfColor(index), index); }
DWORD HOST_GetSkinColor(int32_t index) { return ColorPixel(SkinOfColor(index), index); }
DWORD HOST_GetSkinColorEntryOf(DWORD skin, int32_t index) { return ColorEntry(skin, index); }
DWORD HOST_GetSkinColorOf(DWORD skin, int32_t index) { return ColorPixel(skin, index); }

BOOL HOST_GetWriter(DWORD index, HOST_WRITER* writer) { return TakeWriter(kMainSkin, index, writer); }
BOOL HOST_GetWriterOf(DWORD skin, DWORD index, HOST_WRITER* writer) { return TakeWriter(skin, index, writer); }
void HOST_ReleaseWriter(HOST_WRITER) { GiveWriterBack(); }
void HOST_ReleaseWriterOf(uintptr_t, uintptr_t) { GiveWriterBack(); }

int32_t HOST_WriterGetTextWidth(HOST_WRITER writer, const char* text) {
  if (!writer || !text) {
    HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
    return 0;
  }
  DisplayLockScope lock;
  return WriterOf(writer)->GetTextWidth(text);
}

int32_t HOST_WriterGetCharWidth(HOST_WRITER writer, int32_t character) {
  if (!writer) {
    HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
    return 0;
  }
  DisplayLockScope lock;
  return WriterOf(writer)->GetCharWidth(character);
}

int32_t HOST_WriterGetHeight(HOST_WRITER writer) {
  if (!writer) {
    HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
    return 0;
  }
  DisplayLockScope lock;
  return WriterOf(writer)->GetHeight();
}

BOOL HOST_WriterDrawText(HOST_WRITER writer, IDirectDrawSurface2* surface, int32_t x, int32_t y, const char* text) {
  if (!writer || !surface || !text) {
    HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
    return FALSE;
  }
  DisplayLockScope lock;
  DDBLTFX effects{};
  effects.dwSize = kEffectsSize;
  const HRESULT result = WriterOf(writer)->WriteText(surface, x, y, text, kWriterBlitFlags, &effects);
  if (FAILED(result)) {
    HOST_SetDirectDrawError(static_cast<DWORD>(result));
    return FALSE;
  }
  return TRUE;
}

}  // namespace hostapi

#include "display/directx/DirectXErrorTexts.h"

#include <algorithm>
#include <iterator>

#include "foundation/errors/LocalText.h"

namespace {

struct ErrorTextRow {
  DWORD code;
  const char* key;
  const char* text;
};

// In the order translators know them; looked up by code.
constexpr ErrorTextRow kDirectDrawRows[] = {
    {0x00000000, "CDirectDrawError.DD_OK", "The request completed successfully."},
    {0x80004001, "CDirectDrawError.DDERR_UNSUPPORTED", "The operation is not supported."},
    {0x80004005, "CDirectDrawError.DDERR_GENERIC", "There is an undefined error condition."},
    {0x800401F0, "CDirectDrawError.DDERR_NOTINITIALIZED", "The object was used before it was initialized."},
    {0x8007000E, "CDirectDrawError.DDERR_OUTOFMEMORY",
     "DirectDraw does not have enough memory to perform the operation."},
    {0x80070057, "CDirectDrawError.DDERR_INVALIDPARAMS",
     "One or more of the parameters passed to the method are incorrect."},
    {0x88760005, "CDirectDrawError.DDERR_ALREADYINITIALIZED", "The object has already been initialized."},
    {0x8876000A, "CDirectDrawError.DDERR_CANNOTATTACHSURFACE",
     "The surface cannot be attached to the requested surface."},
    {0x88760014, "CDirectDrawError.DDERR_CANNOTDETACHSURFACE",
     "The surface cannot be detached from the requested surface."},
    {0x88760028, "CDirectDrawError.DDERR_CURRENTLYNOTAVAIL", "No support is currently available for the operation."},
    {0x88760037, "CDirectDrawError.DDERR_EXCEPTION", "An exception occurred while the request was being performed."},
    {0x8876005A, "CDirectDrawError.DDERR_HEIGHTALIGN",
     "The height of the rectangle is not a multiple of the required alignment."},
    {0x8876005F, "CDirectDrawError.DDERR_INCOMPATIBLEPRIMARY",
     "The requested primary surface does not match the existing primary surface."},
    {0x88760064, "CDirectDrawError.DDERR_INVALIDCAPS", "One or more of the capability bits passed are incorrect."},
    {0x8876006E, "CDirectDrawError.DDERR_INVALIDCLIPLIST", "DirectDraw does not support the given clip list."},
    {0x88760078, "CDirectDrawError.DDERR_INVALIDMODE", "DirectDraw does not support the requested mode."},
    {0x88760082, "CDirectDrawError.DDERR_INVALIDOBJECT", "DirectDraw received a pointer to an invalid object."},
    {0x88760091, "CDirectDrawError.DDERR_INVALIDPIXELFORMAT", "The given pixel format is not valid."},
    {0x88760096, "CDirectDrawError.DDERR_INVALIDRECT", "The given rectangle is not valid."},
    {0x887600A0, "CDirectDrawError.DDERR_LOCKEDSURFACES",
     "The operation cannot be performed while one or more surfaces are locked."},
    {0x887600AA, "CDirectDrawError.DDERR_NO3D", "There is no 3D hardware present."},
    {0x887600B4, "CDirectDrawError.DDERR_NOALPHAHW", "There is no alpha blending hardware present."},
    {0x887600CD, "CDirectDrawError.DDERR_NOCLIPLIST", "No clip list is available."},
    {0x887600D2, "CDirectDrawError.DDERR_NOCOLORCONVHW", "There is no colour conversion hardware present."},
    {0x887600D4, "CDirectDrawError.DDERR_NOCOOPERATIVELEVELSET",
     "The operation requires a cooperative level to be set first."},
    {0x887600D7, "CDirectDrawError.DDERR_NOCOLORKEY", "The surface has no colour key."},
    {0x887600DC, "CDirectDrawError.DDERR_NOCOLORKEYHW", "There is no hardware support for the destination colour key."},
    {0x887600DE, "CDirectDrawError.DDERR_NODIRECTDRAWSUPPORT",
     "The current display driver does not support DirectDraw."},
    {0x887600E1, "CDirectDrawError.DDERR_NOEXCLUSIVEMODE",
     "The operation requires the application to have exclusive mode, but the application does not have exclusive "
     "mode."},
    {0x887600E6, "CDirectDrawError.DDERR_NOFLIPHW", "Flipping surfaces is not supported."},
    {0x887600F0, "CDirectDrawError.DDERR_NOGDI", "There is no GDI present."},
    {0x887600FA, "CDirectDrawError.DDERR_NOMIRRORHW", "There is no hardware for mirroring."},
    {0x887600FF, "CDirectDrawError.DDERR_NOTFOUND", "The requested item was not found."},
    {0x88760104, "CDirectDrawError.DDERR_NOOVERLAYHW", "There is no overlay hardware present."},
    {0x88760118, "CDirectDrawError.DDERR_NORASTEROPHW", "There is no hardware for the requested raster operation."},
    {0x88760122, "CDirectDrawError.DDERR_NOROTATIONHW", "There is no rotation hardware present."},
    {0x88760136, "CDirectDrawError.DDERR_NOSTRETCHHW", "There is no hardware support for stretching."},
    {0x8876013C, "CDirectDrawError.DDERR_NOT4BITCOLOR", "The operation requires a 4-bit palettized surface."},
    {0x8876013D, "CDirectDrawError.DDERR_NOT4BITCOLORINDEX",
     "The operation requires a 4-bit surface indexing an 8-bit palette."},
    {0x88760140, "CDirectDrawError.DDERR_NOT8BITCOLOR", "The operation requires an 8-bit palettized surface."},
    {0x8876014A, "CDirectDrawError.DDERR_NOTEXTUREHW", "There is no texture mapping hardware present."},
    {0x8876014F, "CDirectDrawError.DDERR_NOVSYNCHW",
     "There is no hardware support for vertical blank synchronization."},
    {0x88760154, "CDirectDrawError.DDERR_NOZBUFFERHW", "There is no hardware support for depth buffers."},
    {0x8876015E, "CDirectDrawError.DDERR_NOZOVERLAYHW", "The overlay surfaces cannot be ordered by depth in hardware."},
    {0x88760168, "CDirectDrawError.DDERR_OUTOFCAPS",
     "The hardware needed for the operation has already been allocated."},
    {0x8876017C, "CDirectDrawError.DDERR_OUTOFVIDEOMEMORY",
     "DirectDraw does not have enough display memory to perform the operation."},
    {0x8876017E, "CDirectDrawError.DDERR_OVERLAYCANTCLIP", "The hardware cannot clip overlays."},
    {0x88760180, "CDirectDrawError.DDERR_OVERLAYCOLORKEYONLYONEACTIVE",
     "Only one colour key can be active on an overlay at a time."},
    {0x88760183, "CDirectDrawError.DDERR_PALETTEBUSY", "The palette is locked by another thread."},
    {0x88760190, "CDirectDrawError.DDERR_COLORKEYNOTSET", "No source colour key has been set."},
    {0x8876019A, "CDirectDrawError.DDERR_SURFACEALREADYATTACHED",
     "The surface is already attached to the surface it is being attached to."},
    {0x887601A4, "CDirectDrawError.DDERR_SURFACEALREADYDEPENDENT",
     "The surface is already a dependency of the surface it is being made dependent on."},
    {0x887601AE, "CDirectDrawError.DDERR_SURFACEBUSY", "The surface is locked by another thread."},
    {0x887601B3, "CDirectDrawError.DDERR_CANTLOCKSURFACE", "The surface cannot be locked."},
    {0x887601B8, "CDirectDrawError.DDERR_SURFACEISOBSCURED", "The surface is hidden by other windows."},
    {0x887601C2, "CDirectDrawError.DDERR_SURFACELOST",
     "Access to the surface is refused because the surface memory is gone. The DirectDrawSurface object representing "
     "this surface should have the IDirectDrawSurface2::Restore method called on it."},
    {0x887601CC, "CDirectDrawError.DDERR_SURFACENOTATTACHED", "The requested surface is not attached."},
    {0x887601D6, "CDirectDrawError.DDERR_TOOBIGHEIGHT", "The requested height is too large."},
    {0x887601E0, "CDirectDrawError.DDERR_TOOBIGSIZE", "The requested size is too large."},
    {0x887601EA, "CDirectDrawError.DDERR_TOOBIGWIDTH", "The requested width is too large."},
    {0x887601FE, "CDirectDrawError.DDERR_UNSUPPORTEDFORMAT", "The pixel format is not supported."},
    {0x88760208, "CDirectDrawError.DDERR_UNSUPPORTEDMASK", "The colour mask of the pixel format is not supported."},
    {0x88760219, "CDirectDrawError.DDERR_VERTICALBLANKINPROGRESS", "A vertical blank is in progress."},
    {0x8876021C, "CDirectDrawError.DDERR_WASSTILLDRAWING",
     "The previous blit operation that is transferring information to or from this surface is incomplete."},
    {0x88760230, "CDirectDrawError.DDERR_XALIGN", "The rectangle is not horizontally aligned as required."},
    {0x88760231, "CDirectDrawError.DDERR_INVALIDDIRECTDRAWGUID",
     "The given identifier does not name a DirectDraw driver."},
    {0x88760232, "CDirectDrawError.DDERR_DIRECTDRAWALREADYCREATED",
     "A DirectDraw object for this driver has already been created."},
    {0x88760233, "CDirectDrawError.DDERR_NODIRECTDRAWHW",
     "No hardware-only DirectDraw object can be created: the driver has no hardware support."},
    {0x88760234, "CDirectDrawError.DDERR_PRIMARYSURFACEALREADYEXISTS",
     "This process has already created a primary surface."},
    {0x88760235, "CDirectDrawError.DDERR_NOEMULATION", "Software emulation is not available."},
    {0x88760236, "CDirectDrawError.DDERR_REGIONTOOSMALL", "The region given to the clipper is too small."},
    {0x88760237, "CDirectDrawError.DDERR_CLIPPERISUSINGHWND",
     "The clipper already follows a window, so no clip list can be set."},
    {0x88760238, "CDirectDrawError.DDERR_NOCLIPPERATTACHED", "No clipper is attached to the surface."},
    {0x88760239, "CDirectDrawError.DDERR_NOHWND", "No window has been set for the clipper or the cooperative level."},
    {0x8876023A, "CDirectDrawError.DDERR_HWNDSUBCLASSED",
     "The window has been subclassed by another party, so DirectDraw cannot restore its state."},
    {0x8876023B, "CDirectDrawError.DDERR_HWNDALREADYSET", "The window cannot be changed while surfaces exist."},
    {0x8876023C, "CDirectDrawError.DDERR_NOPALETTEATTACHED", "No palette is attached to the surface."},
    {0x8876023D, "CDirectDrawError.DDERR_NOPALETTEHW", "There is no hardware support for 16 or 256 colour palettes."},
    {0x8876023E, "CDirectDrawError.DDERR_BLTFASTCANTCLIP",
     "A fast blit cannot be used on a surface with a clipper attached."},
    {0x8876023F, "CDirectDrawError.DDERR_NOBLTHW", "There is no blitter hardware present."},
    {0x88760240, "CDirectDrawError.DDERR_NODDROPSHW", "There is no hardware support for DirectDraw raster operations."},
    {0x88760241, "CDirectDrawError.DDERR_OVERLAYNOTVISIBLE", "The overlay is not visible."},
    {0x88760242, "CDirectDrawError.DDERR_NOOVERLAYDEST", "The overlay has no destination surface."},
    {0x88760243, "CDirectDrawError.DDERR_INVALIDPOSITION",
     "The position of the overlay on the destination is not valid."},
    {0x88760244, "CDirectDrawError.DDERR_NOTAOVERLAYSURFACE", "The surface is not an overlay surface."},
    {0x88760245, "CDirectDrawError.DDERR_EXCLUSIVEMODEALREADYSET",
     "An attempt was made to set the cooperative level when it was already set to exclusive."},
    {0x88760246, "CDirectDrawError.DDERR_NOTFLIPPABLE", "The surface cannot be flipped."},
    {0x88760247, "CDirectDrawError.DDERR_CANTDUPLICATE",
     "Primary surfaces and surfaces that belong to a chain cannot be duplicated."},
    {0x88760248, "CDirectDrawError.DDERR_NOTLOCKED", "The surface was not locked, so it cannot be unlocked."},
    {0x88760249, "CDirectDrawError.DDERR_CANTCREATEDC", "No device context can be created for the surface."},
    {0x8876024A, "CDirectDrawError.DDERR_NODC", "No device context was ever created for the surface."},
    {0x8876024B, "CDirectDrawError.DDERR_WRONGMODE",
     "This surface cannot be restored because it was created in a different mode."},
    {0x8876024C, "CDirectDrawError.DDERR_IMPLICITLYCREATED",
     "The surface was created as part of another one and cannot be restored on its own."},
    {0x8876024D, "CDirectDrawError.DDERR_NOTPALETTIZED", "The surface is not palettized."},
    {0x8876024E, "CDirectDrawError.DDERR_UNSUPPORTEDMODE", "The display is currently in an unsupported mode."},
    {0x8876024F, "CDirectDrawError.DDERR_NOMIPMAPHW", "There is no mipmap hardware present."},
    {0x88760250, "CDirectDrawError.DDERR_INVALIDSURFACETYPE", "The surface is of the wrong type for the operation."},
    {0x8876026C, "CDirectDrawError.DDERR_DCALREADYCREATED",
     "A device context has already been returned for this surface."},
    {0x88760280, "CDirectDrawError.DDERR_CANTPAGELOCK", "The surface cannot be locked in memory."},
    {0x88760294, "CDirectDrawError.DDERR_CANTPAGEUNLOCK", "The surface cannot be unlocked from memory."},
    {0x887602A8, "CDirectDrawError.DDERR_NOTPAGELOCKED",
     "The surface was not locked in memory, so it cannot be unlocked from it."},
};

constexpr ErrorTextRow kDirectSoundRows[] = {
    {0x00000000, "CDirectSoundError.DS_OK", "The request completed successfully."},
    {0x80004001, "CDirectSoundError.DSERR_UNSUPPORTED", "The function called is not supported at this time."},
    {0x80004005, "CDirectSoundError.DSERR_GENERIC", "An undetermined error occurred inside the DirectSound subsystem."},
    {0x80040110, "CDirectSoundError.DSERR_NOAGGREGATION", "The object does not support aggregation."},
    {0x8007000E, "CDirectSoundError.DSERR_OUTOFMEMORY",
     "The DirectSound subsystem could not allocate sufficient memory to complete the caller's request."},
    {0x80070057, "CDirectSoundError.DSERR_INVALIDPARAM", "An invalid parameter was passed to the returning function."},
    {0x8878000A, "CDirectSoundError.DSERR_ALLOCATED",
     "The request failed because resources, such as a priority level, were already in use by another caller."},
    {0x8878001E, "CDirectSoundError.DSERR_CONTROLUNAVAIL",
     "The control (volume, pan, and so forth) requested by the caller is not available."},
    {0x88780032, "CDirectSoundError.DSERR_INVALIDCALL",
     "This function is not valid for the current state of this object."},
    {0x88780046, "CDirectSoundError.DSERR_PRIOLEVELNEEDED",
     "The caller does not have the priority level required for the function to succeed."},
    {0x88780064, "CDirectSoundError.DSERR_BADFORMAT", "The specified wave format is not supported."},
    {0x88780078, "CDirectSoundError.DSERR_NODRIVER", "No sound driver is available for use."},
    {0x88780082, "CDirectSoundError.DSERR_ALREADYINITIALIZED", "The object is already initialized."},
    {0x88780096, "CDirectSoundError.DSERR_BUFFERLOST", "The buffer memory has been lost and must be restored."},
    {0x887800A0, "CDirectSoundError.DSERR_OTHERAPPHASPRIO",
     "Another application has a higher priority level, preventing this call from succeeding."},
    {0x887800AA, "CDirectSoundError.DSERR_UNINITIALIZED",
     "The IDirectSound::Initialize method has not been called or has not been called successfully before other methods "
     "were called."},
};

struct FoundRow {
  const char* key;
  const char* text;
};

FoundRow RowOf(const ErrorTextRow* first, const ErrorTextRow* last, DWORD code, const char* unknownKey) {
  const ErrorTextRow* row = std::find_if(first, last, [code](const ErrorTextRow& r) { return r.code == code; });
  if (row == last) return {unknownKey, "An unknown error occurred."};
  return {row->key, row->text};
}

FoundRow DirectDrawRow(DWORD code) {
  return RowOf(std::begin(kDirectDrawRows), std::end(kDirectDrawRows), code, "CDirectDrawError.Unknown");
}

// "Unkown": the key translations have always used.
FoundRow DirectSoundRow(DWORD code) {
  return RowOf(std::begin(kDirectSoundRows), std::end(kDirectSoundRows), code, "CDirectSoundError.Unkown");
}

}  // namespace

CStr GetDirectDrawErrorText(DWORD code) {
  const FoundRow row = DirectDrawRow(code);
  return LocalText(row.key, row.text);
}

CStr GetDirectSoundErrorText(DWORD code) {
  const FoundRow row = DirectSoundRow(code);
  return LocalText(row.key, row.text);
}

const char* GetDirectDrawErrorKey(DWORD code) { return DirectDrawRow(code).key; }

const char* GetDirectSoundErrorKey(DWORD code) { return DirectSoundRow(code).key; }

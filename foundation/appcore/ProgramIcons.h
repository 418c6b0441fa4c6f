// The application core's use of the icon manager: the start step that puts
// the program's two essential icons at the head of the host image list, and
// the icon of a file's type as the classes root of the registry names it.
// The core owns the manager and passes it in with its own module, whose
// icon resources these are.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"

class CIconManager;

// The program's icon resources used here. The two essential icons become
// the host list's indices 0 and 1, in this order.
constexpr WORD kEssentialIconResources[2] = {109, 108};
constexpr WORD kDefaultFileIconResource = 115;

// The start step "init icon manager": Init with the system's small-icon
// list, then AddIcon of the two essential icons. Throws "Icon error" when
// either cannot be loaded, and the manager's errors as they come.
void InitIconManager(CIconManager& manager, HINSTANCE program);

// The classes root's icon location for an extension given with its "."
// (".mp3"): the unnamed value of the extension's key names a file type,
// whose "\DefaultIcon" key holds the location in its unnamed value. Empty
// when a key or value is missing or is not text.
CStr GetDefaultIconText(const char* extension);

// The icon location of a file's type: GetDefaultIconText of the text from
// the last "." of the file's name (a URL or a path). A "." in a folder's
// name makes no extension.
CStr GetFileTypeIconLocation(const char* name);

// Splits an icon location "path,number" at its last ",". The number is
// read as optional blanks, an optional sign and decimal digits (0 without
// digits, or without a ","); values beyond 32 bits are clamped.
void SplitIconLocation(const char* location, CStr& file, INT& number);

// The host-list index of the icon of a file's type: the icon that
// GetFileTypeIconLocation names, or else the program's default file icon. Failures of the
// manager count as index 0, as for plug-ins; never throws them.
INT GetFileTypeIconIndex(CIconManager& manager, HINSTANCE program, const char* name);

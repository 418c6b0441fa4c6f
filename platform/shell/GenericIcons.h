// The generic icons of the system image list, drawn by code: a drive, a
// folder, and documents by kind. Their order is their index in the list,
// so it never changes. Pure functions.
#pragma once

#include <string>

#include "platform/gdi/IconObject.h"

namespace twl::shell {

enum class GenericIcon {
  Document,
  Folder,
  FolderOpen,
  Drive,
  Disc,
  Program,
  Text,
  Audio,
  Video,
  Picture,
  Playlist,
  WebPage,
  Archive,
  Count
};

// The icon drawn at size x size pixels.
IconImage DrawGenericIcon(GenericIcon icon, int size);

// The document icon for a file name, by its extension (case ignored).
GenericIcon IconForFileName(const std::string& name);

}  // namespace twl::shell

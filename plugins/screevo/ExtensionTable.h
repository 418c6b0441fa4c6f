// The media file extensions Screevo plays, identifies and filters: built
// from the registry keys where the filter graph library and the system's
// media players record theirs, and shared by Screevo's three objects. It is
// built when the first object loads it and freed when the last releases it.
// Only the host's user-interface thread uses it.
#pragma once

#include <optional>
#include <string>

namespace screevo {

struct ExtensionEntry {
  std::string extension;  // with its dot: ".ogg"
  std::optional<std::string> mimeType;
  std::optional<std::string> description;
};

// False (with MiscError 2 when memory ran out) when the table could not be
// built; the load is then not counted.
bool LoadExtensionTable();
void ReleaseExtensionTable();

// The entries in the order they were added.
const ExtensionEntry* ExtensionAt(size_t index);
size_t ExtensionCount();

// Whether `text` from its last '.' is an extension of the table (case
// ignored); false for text without a dot.
bool HasTableExtension(const char* text);

// Adds an extension as the scans do: the skip list is ignored, an entry
// already present only fills its missing MIME type and description. False
// with MiscError 2 when memory ran out.
bool AddExtension(const char* extension, const char* mimeType, const char* description);

// The MIME type the built-in list knows for an extension, or null.
const char* BuiltinMimeType(const char* extension);

}  // namespace screevo

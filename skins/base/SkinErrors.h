// The errors of the skin descriptions: CError objects with the skin error
// caption, whose default reads "Skin error" at most sites and "Skin Error"
// at the folder loaders that say so; every structural fault of compiled
// data is the one "Corrupted file" error. Texts with placeholders are
// filled here too.
#pragma once

#include "foundation/kernel/Placeholder.h"

#include <initializer_list>
#include <utility>

#include "foundation/kernel/Str.h"

class CStream;

inline constexpr const char* kSkinErrorCaption = "Skin error";
inline constexpr const char* kSkinErrorCaptionCapital = "Skin Error";

// The localised text of a key with its placeholders filled in one pass, so
// a value taken from a file (a bitmap's name) is never searched again.
CStr SkinText(const char* key, const char* defaultText, std::initializer_list<PlaceholderPair> placeholders = {});

// A CError with the caption "SkinError.Caption" (the given default) and
// the text.
[[noreturn]] void ThrowSkinError(const char* captionDefault, const CStr& text);
[[noreturn]] void ThrowCorruptedFile();
[[noreturn]] void ThrowNoSkinFile();
// The stream error "end of stream" naming the stream.
[[noreturn]] void ThrowEndOfStream(CStream& stream);

// Whether a caught error is the stream error "file not found", by which
// the loaders tell a missing optional file from a broken one.
class CError;
bool IsFileNotFound(const CError* error);

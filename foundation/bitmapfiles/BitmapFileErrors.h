// The errors of the picture-file readers. Texts name the stream's URL;
// keys and default texts go through the localizer.
#pragma once

class CStream;

// A file no reader recognises: "Unknown file format: '<URL>'".
[[noreturn]] void ThrowUnknownBitmapFormat(CStream& stream);
// A file of a known format that uses a variant the readers do not take:
// "Unsupported file format: '<URL>'".
[[noreturn]] void ThrowUnsupportedBitmapFormat(CStream& stream);
// The same text under the caption the BMP reader uses for a bit count it
// does not know.
[[noreturn]] void ThrowUnsupportedBitmapBitCount(CStream& stream);

// CStreamError corrupted (14) and end of stream (8) for the stream.
[[noreturn]] void ThrowCorruptedFile(CStream& stream);
[[noreturn]] void ThrowEndOfFile(CStream& stream);

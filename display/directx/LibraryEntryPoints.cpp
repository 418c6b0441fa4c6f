#include "display/directx/LibraryEntryPoints.h"

#include <vector>

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"

namespace {

[[noreturn]] void ThrowFatal(const LibraryTexts& texts, const char* key, const char* text) {
  ThrowError<CError>(LocalText(texts.captionKey, "Fatal error"), LocalText(key, text));
}

}  // namespace

HMODULE LoadLibraryEntryPoints(const LibraryTexts& texts, std::span<const EntryPoint> entryPoints) {
  const HMODULE module = LoadLibraryA(texts.fileName);
  if (!module) ThrowFatal(texts, texts.loadFailedKey, texts.loadFailedText);
  std::vector<FARPROC> found;
  for (const EntryPoint& entryPoint : entryPoints) {
    const FARPROC address = GetProcAddress(module, entryPoint.name);
    if (!address) {
      FreeLibrary(module);
      ThrowFatal(texts, entryPoint.missingKey, entryPoint.missingText);
    }
    found.push_back(address);
  }
  for (size_t i = 0; i < found.size(); ++i) *entryPoints[i].address = found[i];
  return module;
}

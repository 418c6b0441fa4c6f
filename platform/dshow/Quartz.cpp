// "quartz.dll": the filter graph class and AMGetErrorTextA. Loading the
// library starts GStreamer and records the extensions it can render.
#include <cstring>
#include <mutex>

#include "ErrorTexts.h"
#include "ExtensionKeys.h"
#include "FilterGraph.h"
#include "MediaFramework.h"
#include "platform/kernel/ComClasses.h"
#include "platform/modules/SystemModules.h"

namespace {

DWORD WINAPI AMGetErrorTextA(HRESULT result, LPSTR buffer, DWORD size) {
  const char* text = twl::dshow::ErrorText(result);
  if (!buffer || size == 0 || !text) return 0;
  const DWORD length = static_cast<DWORD>(std::min<size_t>(std::strlen(text), size - 1));
  std::memcpy(buffer, text, length);
  buffer[length] = '\0';
  return length;
}

void AttachQuartz() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (twl::dshow::StartMediaFramework()) twl::dshow::WriteExtensionKeys();
  });
}

const twl::SystemLibraryRegistration kQuartz("quartz.dll", &AttachQuartz,
                                             {{"AMGetErrorTextA", twl::ExportAddress(&AMGetErrorTextA)}});
const twl::ComClassRegistration kFilterGraph(CLSID_FilterGraph, "quartz.dll", &twl::dshow::FilterGraph::Create);

}  // namespace

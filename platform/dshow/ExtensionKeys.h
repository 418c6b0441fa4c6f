// The media file extensions the graph can render, recorded in the registry
// where players look them up (HKEY_LOCAL_MACHINE
// "Software\Microsoft\Multimedia\DirectXMedia\Extensions\.ext", values
// "Extension.MIME" and "MediaType.Description"), as an installation of the
// library would. Only formats whose GStreamer elements are all installed
// are listed; the keys of formats that are not are removed, so a decoder
// taken away disappears from the list.
#pragma once

namespace twl::dshow {

void WriteExtensionKeys();

}  // namespace twl::dshow

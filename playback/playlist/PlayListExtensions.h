// The extensions that make a file a playlist: p4u, pp4u, vp4u, m3u, pls
// and wpl, compared without case.
#pragma once

// Whether the text after the name's last "." is a playlist extension; false
// for a null name or one without a ".".
bool HasPlayListExtension(const char* name);

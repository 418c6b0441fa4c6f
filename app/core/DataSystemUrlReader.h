// The filter graph's reader of network URLs over the data system: while it
// is registered, a graph opens "http://" and "ftp://" URLs as streams of
// the data system (read access, opening an existing file), so the plug-ins'
// stream providers, the proxies and the connection time-out apply.
// Registered once the data system has its providers; removed before the
// data system exits (the player system, whose graphs read, is down then).
#pragma once

void RegisterDataSystemUrlReader();
void UnregisterDataSystemUrlReader();

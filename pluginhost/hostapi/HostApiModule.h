// The host API module's state from program start to end: the callback
// manager through which thread disk file creators report, and the volume
// table that sound buffers and the sound slots read. InitHostApi runs
// on the user-interface thread before plug-ins are loaded (that thread
// then delivers the creators' results); ExitHostApi after they were
// unloaded.
#pragma once

class CThreadDiskFileCreatorCallbackManager;

void InitHostApi();
void ExitHostApi();
CThreadDiskFileCreatorCallbackManager& GetDiskFileCallbackManager();

// What the host API tells plug-ins about the program, answered from the
// system object: its folders as the start found them (however long the
// path), and otherwise the defaults. Installed in the start step that
// initialises the host API, removed when the host API is released.
#pragma once

class CSystem;

void InstallSystemHostEnvironment(CSystem& system);
void RemoveSystemHostEnvironment();

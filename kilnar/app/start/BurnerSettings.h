// Kilnar's settings in the registry: the write speed and four flags under
// HKEY_CURRENT_USER\Software\Velbrook\Velbrook Kilnar! Add-On, sections
// "Recorder" and "CD", each a REG_DWORD. A missing value gives its default;
// a stored flag is on only when it is exactly 1 (another value, such as
// 2, reads as off). Flags are written as 1 or 0. Writes are not checked:
// a setting that cannot be stored is read as its default next time.
#pragma once

#include <cstdint>

uint32_t LoadSpeed();
void SaveSpeed(uint32_t factor);
bool LoadSimulation();
void SaveSimulation(bool on);
bool LoadMultisession();
void SaveMultisession(bool on);
bool LoadInstallation();
void SaveInstallation(bool on);
bool LoadAutoRun();
void SaveAutoRun(bool on);

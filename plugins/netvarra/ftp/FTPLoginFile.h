// ftplogins.dat in a folder: loading it into the login database when the
// plug-in starts and saving it when the plug-in stops. A damaged file is
// set aside as ftplogins.dat.bad before the next save overwrites it, so
// the saved servers can still be recovered by hand.
#pragma once

#include <string>

class CFTPLoginDataBase;

inline constexpr const char* kFTPLoginFileName = "ftplogins.dat";

// `folder` ends in "/". A missing file gives an empty database and true; a
// damaged or unreadable one gives an empty database and false (the caller
// logs it), and a copy of it is kept as ftplogins.dat.bad before any save
// can replace it. The failure's text goes to `errorText`. Never throws.
bool LoadFTPLogins(CFTPLoginDataBase& logins, const std::string& folder, std::string& errorText);
// False when the file could not be written. Never throws.
bool SaveFTPLogins(CFTPLoginDataBase& logins, const std::string& folder);

#include "plugins/netvarra/ftp/FTPLogin.h"

TWL_IMPLEMENT_CLASS(CFTPLogin, CTypedObject)

void CFTPLogin::CopyFrom(const CFTPLogin& other) {
  name = other.name;
  host = other.host;
  alias = other.alias;
  user = other.user;
  password = other.password;
}

#include "plugins/netvarra/ftp/FTPReplyCode.h"

int GetReplyCode(const char* reply) {
  if (!reply) return -1;
  int code = 0;
  for (int i = 0; i < 3; ++i) {
    if (reply[i] < '0' || reply[i] > '9') return -1;
    code = code * 10 + (reply[i] - '0');
  }
  return code;
}
